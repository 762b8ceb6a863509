#include "scene/DefaultMeshes.h"

#include <array>

namespace {

// Appends one flat triangle with its face normal and the given uvs.
void AddFlatTriangle(Mesh& mesh, const std::array<Vector3, 3>& corners,
                     const std::array<float, 6>& uvs) {
    const Vector3 normal =
        (corners[1] - corners[0]).Cross(corners[2] - corners[0]).Normalised({0.0f, 1.0f, 0.0f});
    for (size_t i = 0; i < 3; ++i) {
        mesh.indices.push_back(static_cast<uint32_t>(mesh.positions.size()));
        mesh.positions.push_back(corners[i]);
        mesh.normals.push_back(normal);
        mesh.uvs.push_back(uvs[2 * i]);
        mesh.uvs.push_back(uvs[2 * i + 1]);
    }
}

} // namespace

Mesh DefaultBoxMesh() {
    struct Face {
        Vector3 normal, u, v; // u x v = normal, so (0,0) (1,0) (1,1) turns anticlockwise
    };
    static constexpr std::array<Face, 6> kFaces = {{
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
    }};
    static constexpr std::array<float, 8> kCornerUvs = {0, 0, 1, 0, 1, 1, 0, 1};
    Mesh mesh;
    for (const Face& face : kFaces) {
        const auto first = static_cast<uint32_t>(mesh.positions.size());
        for (size_t corner = 0; corner < 4; ++corner) {
            const float s = kCornerUvs[2 * corner];
            const float t = kCornerUvs[2 * corner + 1];
            mesh.positions.push_back(face.normal * 0.5f + face.u * (s - 0.5f) +
                                     face.v * (t - 0.5f));
            mesh.normals.push_back(face.normal);
            mesh.uvs.push_back(s);
            mesh.uvs.push_back(t);
        }
        for (const uint32_t corner : {0u, 1u, 2u, 0u, 2u, 3u})
            mesh.indices.push_back(first + corner);
    }
    return mesh;
}

Mesh DefaultShardMesh() {
    // An uneven pentagon around the Y axis, anticlockwise seen from above (+Y).
    static constexpr std::array<Vector3, 5> kRing = {{
        {0.30f, 0.00f, 0.05f},
        {0.12f, 0.02f, -0.26f},
        {-0.18f, -0.05f, -0.20f},
        {-0.22f, 0.04f, 0.16f},
        {0.08f, 0.10f, 0.28f},
    }};
    constexpr Vector3 kTip{0.04f, 1.0f, 0.02f};
    constexpr Vector3 kFoot{-0.02f, -0.4f, 0.0f};
    constexpr float kRingV = 0.3f;
    Mesh mesh;
    for (size_t i = 0; i < kRing.size(); ++i) {
        const Vector3& a = kRing[i];
        const Vector3& b = kRing[(i + 1) % kRing.size()];
        const float u0 = static_cast<float>(i) / 5.0f;
        const float u1 = static_cast<float>(i + 1) / 5.0f;
        const float uMid = (static_cast<float>(i) + 0.5f) / 5.0f;
        AddFlatTriangle(mesh, {a, b, kTip}, {u0, kRingV, u1, kRingV, uMid, 1.0f});
        AddFlatTriangle(mesh, {b, a, kFoot}, {u1, kRingV, u0, kRingV, uMid, 0.0f});
    }
    return mesh;
}

bool GenerateDefaultMeshes(const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\' && prefix.back() != ':')
        prefix += '/';
    // Both are attempted, so one failure does not hide the other.
    const bool box = SaveMesh(DefaultBoxMesh(), (prefix + "box.kmo").c_str());
    const bool shard = SaveMesh(DefaultShardMesh(), (prefix + "shard.kmo").c_str());
    return box && shard;
}
