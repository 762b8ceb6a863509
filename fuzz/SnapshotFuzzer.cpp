// Feeds arbitrary bytes to the review snapshot reader. Whatever reads successfully must
// survive the writer: written, read back and written again, the two files are the same
// bytes.
#include "review/FXSnapshot.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchFile() {
    static const std::string path = "/tmp/sparv-fuzz-" + std::to_string(getpid()) + ".sparvsnap";
    return path;
}

std::string WriteAndSlurp(const FXSnapshot& snapshot) {
    if (!snapshot.Write(ScratchFile()))
        std::abort();
    std::ifstream in(ScratchFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FXSnapshot snapshot;
    if (!snapshot.ReadText(reinterpret_cast<const char*>(data), size, "input"))
        return 0;
    const std::string first = WriteAndSlurp(snapshot);
    FXSnapshot again;
    if (!again.Read(ScratchFile()) || again.types.size() != snapshot.types.size())
        std::abort();
    if (WriteAndSlurp(again) != first)
        std::abort();
    return 0;
}
