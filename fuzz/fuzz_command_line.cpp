// Parameters built from the input (split at NUL bytes) run through the
// option loop; a --PROFILE names a scratch file holding the last piece.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "fuzz_support.h"
#include "settings/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parameters;
    std::size_t start = 0;
    for (std::size_t end; (end = input.find('\0', start)) != std::string::npos; start = end + 1)
        parameters.push_back(trimSpaces(input.substr(start, end - start)));
    std::string last = input.substr(start);
    std::string profile = writeScratchFile("profile.ini", reinterpret_cast<const std::uint8_t*>(last.data()), last.size());
    parameters.push_back("--profile=" + profile);
    ConversionSettings settings;
    BatchJob job;
    firstParameterCommand(parameters);
    ParsedParameters parsed = applyParameters(parameters, settings, job);
    (void)parsed;
    return 0;
}
