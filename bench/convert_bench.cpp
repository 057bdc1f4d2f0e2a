// Converts one PNG with the engine directly (no command line), for timing
// and memory measurements:
//   convert_bench <input.png> <output folder> [AUTO|DXT1|DXT5|BC7|NONE]
#include <cstdio>
#include <string>

#include "engine/convert.h"
#include "engine/dds_save.h"
#include "settings/batch_job.h"
#include "settings/keywords.h"
#include "settings/paths.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: convert_bench <input.png> <output folder> [AUTO|DXT1|DXT5|BC7|NONE]\n");
        return 2;
    }
    BatchJob job;
    resetBatchJob(job);
    job.inputPath = argv[1];
    job.outputFolder = withTrailingSlash(argv[2]);
    job.outputExtension = "dds";
    job.autoBitDepth = true;
    ConversionSettings settings;
    if (argc == 4) settings.DDSCompression = KeywordToValue(kDdsCompression, argv[3]);
    initDdsWriter();
    const bool converted = convertFile(job, settings);
    std::printf("%s\n", converted ? job.outputPath.c_str() : "conversion failed");
    return converted ? 0 : 1;
}
