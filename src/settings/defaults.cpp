// The defaults routine for both settings records. The member initialisers of
// the records already hold every constant default; this routine adds the
// values that depend on the moment, the desktop and the run mode.
#include "settings/product.h"
#include "settings/defaults.h"

#include <ctime>

#include "settings/formats.h"
#include "settings/local_date.h"
#include "settings/settings.h"

namespace {

struct DesktopSize {
    int width = 1920;
    int height = 1080;
};

DesktopSize& primaryDesktop() {
    static DesktopSize size;
    return size;
}

// The main window starts centred on the primary desktop when there is room
// for it, otherwise at 100.
int centredOrHundred(int desktop, int window) { return desktop > window ? (desktop - window) / 2 : 100; }

}  // namespace

void setPrimaryDesktopSize(int width, int height) { primaryDesktop() = {width, height}; }

std::int64_t localDateSecondsNow() {
    const std::time_t now = std::time(nullptr);
    const std::int64_t localDate = localDateFromFileTime(now);
    return localDate == -1 ? static_cast<std::int64_t>(now) : localDate;
}

std::int32_t localDateValueNow() { return static_cast<std::int32_t>(localDateSecondsNow()); }

void ResetToDefaults(ConversionSettings& conversion, InterfaceSettings& interface, bool commandLineMode) {
    const std::int32_t now = localDateValueNow();

    interface = InterfaceSettings{};
    interface.CFG = 19;
    interface.UpdateDate = now;
    interface.X = centredOrHundred(primaryDesktop().width, interface.Width);
    interface.Y = centredOrHundred(primaryDesktop().height, interface.Height);

    conversion = ConversionSettings{};
    conversion.InputFormat = kInputFormatList.front();
    conversion.OutputFormat = kOutputFormatList.front();
    conversion.KeepAspectRatio = commandLineMode ? 0 : 1;
    conversion.Text = kMakerNotice;
    conversion.CustomTimestamp = now;
}
