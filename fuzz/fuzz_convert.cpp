// The whole conversion of arbitrary bytes given as the input file, with
// settings drawn from the first bytes (see convert_case.h). Afterwards the
// output folder holds the output file after a success and nothing at all
// after a failure: in particular no temporary "tovrel..." file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "convert_case.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ConvertCase convertCase = decodeConvertCase(data, size);
    // With TOVREL_FUZZ_VERBOSE set, the settings of the case, for triage.
    if (std::getenv("TOVREL_FUZZ_VERBOSE")) std::fprintf(stderr, "%s\n", describeConvertCase(convertCase).c_str());
    const ConvertCaseResult result = runConvertCase(convertCase, scratchFolder());
    for (const std::string& name : result.leftovers) std::fprintf(stderr, "left in the output folder: %s\n", name.c_str());
    if (!result.leftovers.empty()) std::abort();
    return 0;
}
