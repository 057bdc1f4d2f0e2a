// Path helpers shared by every subsystem. Folders are texts ending with "/";
// a path is absolute when it begins with "/". Backslash is an ordinary
// file-name character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Size of a file in bytes; -1 when it does not exist, -2 for a folder.
std::int64_t fileSizeQuery(const std::string& path);

// Folder of the running executable, ending with "/".
std::string programFolder();

// File name of the running executable without folder and extension.
std::string programName();

// Text up to and including the last "/" ("" when there is none).
std::string folderPart(std::string_view path);
// Text after the last "/".
std::string fileNamePart(std::string_view path);
// Text after the last dot of the file-name part; "" when there is no dot.
std::string extensionPart(std::string_view path);
// The folder text with one "/" appended when it does not end in one.
std::string withTrailingSlash(std::string_view folder);
bool isAbsolutePath(std::string_view path);

// Creates the folder when it does not exist (one level); true when it exists
// afterwards.
bool ensureFolder(const std::string& folder);

// The user's configuration folder, ending with "/": $XDG_CONFIG_HOME when it
// is absolute, otherwise <home>/.config/, the home being $HOME or, when HOME
// is unset, the password database's entry. "" when there is no home.
std::string userConfigFolder();

// Per-user configuration folder for this product, "<XDG config>/Korvane/tovrel/",
// below userConfigFolder(), created when missing; "" without a home.
std::string prepareConfigFolder(const std::string& vendor, const std::string& product);
