// Feeds arbitrary bytes to the ".kmo" mesh reader, as an IFF reader attached to memory.
// Whatever reads as a mesh must survive the writer: written and read back it is the same
// mesh bit for bit, and written again the same bytes.
#include "scene/Mesh.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

bool SameMesh(const Mesh& a, const Mesh& b) {
    return SameBits(a.positions, b.positions) && SameBits(a.normals, b.normals) &&
           SameBits(a.uvs, b.uvs) && SameBits(a.indices, b.indices) &&
           std::memcmp(&a.scale, &b.scale, sizeof a.scale) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::unique_ptr<Mesh> mesh(LoadMeshFromMemory(data, size));
    if (!mesh)
        return 0;
    std::vector<uint8_t> first;
    if (!mesh->isValid() || !SaveMeshToMemory(*mesh, first))
        std::abort();
    const std::unique_ptr<Mesh> again(LoadMeshFromMemory(first.data(), first.size()));
    if (!again || !SameMesh(*mesh, *again))
        std::abort();
    std::vector<uint8_t> second;
    if (!SaveMeshToMemory(*again, second) || second != first)
        std::abort();
    return 0;
}
