// Arbitrary bytes read as a configuration file and as a profile; what was
// loaded must save and load back without a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "settings/config_file.h"
#include "settings/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path = writeScratchFile("config.ini", data, size);
    ConversionSettings conversion;
    InterfaceSettings interface;
    LoadConfiguration(path, conversion, interface);
    LoadProfile(path, conversion);
    std::string text = configurationText(conversion, interface);
    std::string again = writeScratchFile("again.ini", reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    ConversionSettings reloaded;
    InterfaceSettings reloadedInterface;
    LoadConfiguration(again, reloaded, reloadedInterface);
    // Saving what was loaded is lossless: a second save gives the same bytes.
    // The dates of missing keys are "now" in both loads, so compare only
    // when the first file held them.
    if (configurationText(reloaded, reloadedInterface) != text && conversion.CustomTimestamp == reloaded.CustomTimestamp &&
        interface.UpdateDate == reloadedInterface.UpdateDate)
        std::abort();
    return 0;
}
