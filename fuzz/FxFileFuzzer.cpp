// Feeds arbitrary bytes to the FX file reader. Whatever reads successfully must survive
// the writer: written, read back and written again, the two files are the same bytes.
#include "definitions/FXFile.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchFile() {
    static const std::string path = "/tmp/sparv-fuzz-" + std::to_string(getpid()) + ".lua";
    return path;
}

std::string WriteAndSlurp(int style, const FXPropertyList& properties) {
    if (!FXWriteFile(ScratchFile().c_str(), style, properties))
        std::abort();
    std::ifstream in(ScratchFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int style = 0;
    FXPropertyList properties;
    if (!FXReadText(reinterpret_cast<const char*>(data), size, "input", style, properties))
        return 0;
    const std::string first = WriteAndSlurp(style, properties);
    int styleAgain = 0;
    FXPropertyList again;
    if (!FXReadFile(ScratchFile().c_str(), styleAgain, again) || styleAgain != style ||
        again.size() != properties.size())
        std::abort();
    if (WriteAndSlurp(styleAgain, again) != first)
        std::abort();
    return 0;
}
