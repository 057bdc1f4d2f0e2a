// Expands arbitrary name templates and input names; the expansion must never
// crash and never grow without bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/naming.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find('\n');
    BatchJob job;
    job.outputFolder = "/out/";
    job.outputExtension = "dds";
    job.inputPath = split == std::string::npos ? "/in/a.png" : "/in/" + input.substr(split + 1);
    job.sequenceNumber = static_cast<int>(size);
    ConversionSettings settings;
    settings.FilenameMask = input.substr(0, split);
    std::string path = buildOutputPath(job, settings);
    (void)path;
    return 0;
}
