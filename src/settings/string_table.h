// Every user-visible text of the window mode, and the few the console run
// prints from the same vocabulary, looked up by group and key.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One (key, text) pair of a text block. ("_GROUP_", name) starts a group,
// ("_END_", "") ends the block, anything else is an entry of the current
// group; the markers are recognised in any letter case.
struct StringPair {
    std::string_view key;
    std::string_view text;
};

struct StringGroup {
    std::string name;     // upper-cased
    std::size_t first = 1;  // first entry index; greater than last when empty
    std::size_t last = 0;
    // Character code -> index of the first entry whose key starts with it
    // (0 = none).
    std::array<std::size_t, 256> firstByChar{};
};

// Index over a text block. Slot 0 of every array is unused, so index 0 can
// mean "none". Entries of each group are sorted by upper-cased key, then text.
struct StringTable {
    std::vector<StringGroup> groups;
    std::vector<std::string> keys;   // upper-cased
    std::vector<std::string> texts;  // parallel to keys
    // Group found by the previous lookup (0 = none). Atomic so that lookups
    // from more than one thread stay well defined; each lookup works on its
    // own copy and only publishes the group it found.
    std::atomic<std::size_t> cachedGroup{0};
};

// The built-in English block, groups in the order Menu, General, Msg,
// Dialog, Preferences, About, Custom-Converter, Uninstall.
std::span<const StringPair> builtInStringBlock();
// Rebuilds `table` from `block` (stops at "_END_" or the block's end) and
// clears its cached group. Not safe while another thread looks up in it.
void buildStringTable(StringTable& table, std::span<const StringPair> block);

// The process-wide table, built from the built-in English block on first use.
StringTable& stringTable();
// Rebuilds the process-wide table from the built-in block; for start-up,
// before any other thread exists.
void loadStringTable();
// Text for (group, key), matched without regard to case, or
// "%NO_STRING_ERROR%" when either is missing.
std::string lookupString(StringTable& table, std::string_view group, std::string_view key);
// Replaces %s1% .. %s4% (any case of the s) in that order; an empty value
// leaves its placeholder in place.
std::string FillPlaceholders(std::string_view text, std::string_view s1 = {}, std::string_view s2 = {},
                             std::string_view s3 = {}, std::string_view s4 = {});
