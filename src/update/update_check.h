// The update check: the scheduled question at start-up, the check itself
// and the decisions behind both, kept apart from the message boxes so the
// decisions can be tried without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

// The boxes and the browser the check talks to; the window code fills the
// process-wide table, tests fill their own. Texts arrive already looked up.
struct UpdateDialogs {
    std::function<bool(const std::string& title, const std::string& text)> askYesNo;  // question icon
    std::function<void(const std::string& title, const std::string& text)> showError;
    std::function<void(const std::string& title, const std::string& text)> showInformation;
    std::function<void(const std::string& address)> openUrl;
    // Keeps the window going while the version file is fetched on a thread
    // of its own: true once `fetched` holds, false when the wait is given up
    // first (the session ends), and the check then ends without a word.
    // Without it the check waits for the exchange, up to its time limit.
    std::function<bool(const std::function<bool()>& fetched)> waitForFetch;
};
UpdateDialogs& updateDialogs();

// The version file on the vendor's site, or the address in the environment
// variable TOVREL_UPDATE_URL when it is set and not empty (a test hook).
std::string versionFileAddress();

// Days between scheduled checks for an "Update Range" choice; nothing for
// 5 (Never). Values outside the table mean a month.
std::optional<int> updateIntervalDays(std::int32_t updateRange);

// True when "now" lies more than the interval after "Update Date". Both are
// seconds on the local-clock scale; the sum is formed in 64 bits, so dates
// near the end of the 32-bit range do not wrap.
bool isUpdateCheckDue(std::int32_t updateRange, std::int64_t updateDate, std::int64_t now);

enum class UpdateVerdict { ConnectionProblems, NewerVersion, NoUpdate };
// The decimal value of the fetched text (leading blanks and TABs skipped,
// optional sign): 0 means no usable answer, above the program's own version
// number a newer version, anything else none.
UpdateVerdict judgeVersionText(std::string_view versionText);

// The date value stored in "Update Date", held to its 32-bit range.
std::int32_t storableUpdateDate(std::int64_t now);

// Fetches the version file and tells the user the result; offers the
// product page when a newer version exists. Changes no setting. Tells
// nothing when the wait for the file is given up.
void checkForUpdates(const UpdateDialogs& dialogs = updateDialogs());

// At start-up: when a check is due, asks whether to check, checks on Yes,
// and in either case moves "Update Date" to now. Nothing happens otherwise.
void scheduledUpdateCheck(InterfaceSettings& settings, std::int64_t now,
                          const UpdateDialogs& dialogs = updateDialogs());
