#include "update/update_check.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>

#include "settings/string_table.h"
#include "settings/web_links.h"
#include "settings/product.h"
#include "settings/text.h"
#include "update/version_fetch.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int32_t kNeverRange = 5;

std::string message(std::string_view key) { return lookupString(stringTable(), "Msg", key); }

// The exchange's thread may outlive a wait that was given up (it ends by the
// exchange's time limit at the latest); the shared record keeps what it
// writes alive.
struct VersionExchange {
    std::atomic<bool> done{false};
    std::string text;
};

// The version text, or nothing when the wait for it was given up.
std::optional<std::string> fetchUnlessAbandoned(const UpdateDialogs& dialogs) {
    const std::string address = versionFileAddress();
    const std::string agent = titleWithVersion();
    if (!dialogs.waitForFetch) return fetchVersionText(address, agent);
    auto exchange = std::make_shared<VersionExchange>();
    try {
        std::thread([exchange, address, agent] {
            exchange->text = fetchVersionText(address, agent);
            exchange->done.store(true, std::memory_order_release);
        }).detach();
    } catch (const std::system_error&) {
        return fetchVersionText(address, agent);  // no thread to be had: wait as before
    }
    if (!dialogs.waitForFetch([&exchange] { return exchange->done.load(std::memory_order_acquire); }))
        return std::nullopt;
    return exchange->text;
}

}  // namespace

UpdateDialogs& updateDialogs() {
    static UpdateDialogs dialogs;
    return dialogs;
}

std::string versionFileAddress() {
    const char* override = std::getenv("TOVREL_UPDATE_URL");
    return override && *override ? std::string(override) : versionFilePageAddress();
}

std::optional<int> updateIntervalDays(std::int32_t updateRange) {
    switch (updateRange) {
        case 0: return 1;
        case 1: return 7;
        case 2: return 30;
        case 3: return 90;
        case 4: return 180;
        case kNeverRange: return std::nullopt;
        default: return 30;
    }
}

bool isUpdateCheckDue(std::int32_t updateRange, std::int64_t updateDate, std::int64_t now) {
    std::optional<int> days = updateIntervalDays(updateRange);
    return days && now > updateDate + *days * kSecondsPerDay;
}

UpdateVerdict judgeVersionText(std::string_view versionText) {
    std::int32_t version = readInteger(versionText, NumberSyntax::DecimalOnly);
    if (version == 0) return UpdateVerdict::ConnectionProblems;
    return version > kProgramVersion ? UpdateVerdict::NewerVersion : UpdateVerdict::NoUpdate;
}

std::int32_t storableUpdateDate(std::int64_t now) {
    using Limits = std::numeric_limits<std::int32_t>;
    if (now > Limits::max()) return Limits::max();
    if (now < Limits::min()) return Limits::min();
    return static_cast<std::int32_t>(now);
}

void checkForUpdates(const UpdateDialogs& dialogs) {
    const std::optional<std::string> versionText = fetchUnlessAbandoned(dialogs);
    if (!versionText) return;
    switch (judgeVersionText(*versionText)) {
        case UpdateVerdict::ConnectionProblems:
            if (dialogs.showError) dialogs.showError(message("Error"), message("Internet connection problems"));
            break;
        case UpdateVerdict::NewerVersion:
            if (dialogs.askYesNo && dialogs.askYesNo(message("New Update"), message("New Update Text")) &&
                dialogs.openUrl)
                dialogs.openUrl(productPageAddress());
            break;
        case UpdateVerdict::NoUpdate:
            if (dialogs.showInformation) dialogs.showInformation(message("No Update"), message("No Update Text"));
            break;
    }
}

void scheduledUpdateCheck(InterfaceSettings& settings, std::int64_t now, const UpdateDialogs& dialogs) {
    if (!isUpdateCheckDue(settings.UpdateRange, settings.UpdateDate, now)) return;
    if (dialogs.askYesNo && dialogs.askYesNo(message("Check for Updates"), message("Ask check for updates")))
        checkForUpdates(dialogs);
    settings.UpdateDate = storableUpdateDate(now);
}
