#include "cli/usage.h"

#include "cli/console.h"
#include "settings/product.h"
#include "settings/batch_job.h"
#include "settings/formats.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "settings/string_table.h"
#include "settings/text.h"

namespace {

// "%s1%" is the program name, "%s2%" an input extension.
constexpr const char* kUsageText[] = {
    " ",
    "Usage: %s1% -i <filename> [options]",
    " ",
    "  %s1% -i example.%s2%",
    "  %s1% -i c:\\tmp\\example.%s2%",
    "  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted",
    "  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --dds-compression=STR     Set DDS compression: auto, dxt1, dxt5, bc7, none",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
};

// Each example line draws its own entry of the input-format list.
std::string exampleExtension() {
    return kInputFormatList[static_cast<std::size_t>(drawRandomNumber()) % kInputFormatList.size()];
}

void printLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) printLine(line);
}

bool openTitledConsole() {
    if (!openConsole()) return false;
    setConsoleTitle(titleWithVersion());
    return true;
}

}  // namespace

std::vector<std::string> usageLines() {
    const std::string name = programName();
    std::vector<std::string> lines;
    for (const char* line : kUsageText) lines.push_back(FillPlaceholders(line, name, exampleExtension()));
    return lines;
}

std::vector<std::string> bannerLines() {
    return {titleWithVersion(), replaceAll(kMakerNotice, "\xC2\xA9", "(c)"), kVendorWebSite, " "};
}

void showVersion() {
    if (!openTitledConsole()) return;
    printLine(versionText(kProgramVersion));
    closeConsole();
}

void showUsage() {
    if (!openTitledConsole()) return;
    printLines(usageLines());
    closeConsole();
}

void showError(std::string_view message, bool pause) {
    if (!openTitledConsole()) return;
    printLine("Error: " + std::string(message));
    if (pause) waitForKey();
    closeConsole();
}

void printBanner() { printLines(bannerLines()); }

void printPausePrompt() {
    printLine("Press any key to exit.");
    waitForKey();
}
