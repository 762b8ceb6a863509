#include "scene/Mesh.h"

#include "scene/RenderDevice.h"

#include <cmath>

namespace {

bool IsFinite(const Vector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Fail(std::string* reason, std::string text) {
    if (reason)
        *reason = std::move(text);
    return false;
}

} // namespace

bool Mesh::isValid(std::string* reason) const {
    if (positions.empty())
        return Fail(reason, "no positions");
    if (positions.size() > UINT32_MAX)
        return Fail(reason, "more positions than 32-bit indices reach");
    if (!normals.empty() && normals.size() != positions.size()) {
        return Fail(reason, std::to_string(normals.size()) + " normals for " +
                                std::to_string(positions.size()) + " positions");
    }
    if (!uvs.empty() && uvs.size() != 2 * positions.size()) {
        return Fail(reason, std::to_string(uvs.size() / 2) + (uvs.size() % 2 ? ".5" : "") +
                                " uvs for " + std::to_string(positions.size()) + " positions");
    }
    if (indices.empty())
        return Fail(reason, "no triangles");
    if (indices.size() % 3 != 0)
        return Fail(reason, std::to_string(indices.size()) + " indices, not whole triangles");
    for (size_t i = 0; i < indices.size(); ++i) {
        if (indices[i] >= positions.size()) {
            return Fail(reason, "index " + std::to_string(indices[i]) + " of triangle " +
                                    std::to_string(i / 3) + " past the " +
                                    std::to_string(positions.size()) + " positions");
        }
    }
    for (const Vector3& p : positions)
        if (!IsFinite(p))
            return Fail(reason, "a position is not finite");
    for (const Vector3& n : normals)
        if (!IsFinite(n))
            return Fail(reason, "a normal is not finite");
    for (const float uv : uvs)
        if (!std::isfinite(uv))
            return Fail(reason, "a uv is not finite");
    if (!std::isfinite(scale) || scale <= 0.0f)
        return Fail(reason, "scale " + std::to_string(scale) + " not a finite number above 0");
    return true;
}

void Mesh::draw(const MeshInstance& /*instance*/, int /*pass*/, float /*alpha*/,
                const Colour& /*tint*/, int /*flags*/) const {
    RenderDevice* device = rndTable();
    if (!device)
        return;
    // One buffer for every mesh drawn on this thread: it grows to the largest mesh once
    // and is reused after that.
    thread_local std::vector<RenderVertex> vertices;
    const size_t count = indices.size() - indices.size() % 3;
    if (count == 0)
        return;
    vertices.resize(count);
    const Colour colour = device->GetStates().colour;
    const bool withUvs = !uvs.empty() && uvs.size() == 2 * positions.size();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t index = indices[i];
        if (index >= positions.size())
            return;
        RenderVertex& vertex = vertices[i];
        vertex.position = positions[index];
        vertex.colour = colour;
        vertex.u = withUvs ? uvs[2 * size_t{index}] : 0.0f;
        vertex.v = withUvs ? uvs[2 * size_t{index} + 1] : 0.0f;
    }
    device->Draw(Primitive::Triangles, vertices.data(), count);
}
