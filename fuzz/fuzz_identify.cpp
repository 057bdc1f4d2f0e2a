// Arbitrary bytes written to a file and named by their signature; the name
// must be one of the table's or the unrecognized marker, and reading the
// file must agree with looking at its bytes directly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/signature.h"
#include "fuzz_support.h"

namespace {

bool isKnownName(const std::string& name) {
    if (name == kUnrecognizedFormat) return true;
    for (const SignatureRow& row : signatureTable())
        if (row.name == name) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeScratchFile("input.bin", data, size);
    const std::string fromFile = identifyFileFormat(path);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string fromBytes = identifyBytes(bytes.substr(0, kSignatureReadLength));
    if (!isKnownName(fromFile) || fromFile != fromBytes) std::abort();
    // The bytes beyond the read length never change the answer.
    if (identifyBytes(bytes) != fromBytes) std::abort();
    return 0;
}
