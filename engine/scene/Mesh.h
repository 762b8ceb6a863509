#pragma once

// Meshes of the scene library: indexed triangle lists read from ".kmo" files (an IFF
// FORM "KMO " with chunks for positions, normals, uvs, triangle indices and a scale), the
// drawable instances attached to them, and mesh lists (".akmo": a Lua table of mesh files
// and a scale).
//
//   meshlist = { meshes = { "Data:art/fx/box.kmo", "Data:art/fx/shard.kmo" }, scale = 2 }

#include "math/Math.h"

#include <cstdint>
#include <string>
#include <vector>

class IFFReader;
class MeshInstance;

class Mesh {
public:
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;  // empty or one per position
    std::vector<float> uvs;        // empty or two per position
    std::vector<uint32_t> indices; // three per triangle, each below positions.size()
    float scale = 1.0f;            // the mesh's own scale, reported to its users

    float getScale() const { return scale; }
    // Draws an instance of this mesh on the current device with the current colour and
    // the current matrices; the extra arguments are the engine's drawing options, kept
    // for callers: (instance, 0, 1.0f, Colour{}, 0).
    void draw(const MeshInstance& instance, int pass, float alpha, const Colour& tint,
              int flags) const;
};

class MeshInstance {
public:
    static MeshInstance* create() { return new MeshInstance; }
    void attachMesh(const Mesh* mesh) { m_mesh = mesh; }
    const Mesh* mesh() const { return m_mesh; }

private:
    MeshInstance() = default;
    const Mesh* m_mesh = nullptr;
};

class MeshLoader {
public:
    // Registers the handlers that read a "KMO " form into a new Mesh stored in *mesh
    // (owned by the caller) when the reader parses.
    static void addIFFParseHandlers(IFFReader& iff, Mesh** mesh, void* user);
};

// Loads a ".kmo" file at an aliased or host path: a new mesh the caller owns, or null
// (traced) when the file is missing or not a valid mesh.
Mesh* LoadMesh(const char* path);

// Writes a mesh as a ".kmo" file; false when it cannot be written.
bool SaveMesh(const Mesh& mesh, const char* path);

class MeshList {
public:
    // A new list the caller owns, or null (traced) when the file is missing or malformed.
    // Meshes that fail to load are left out.
    static MeshList* load(const char* path);
    ~MeshList();
    MeshList(const MeshList&) = delete;
    MeshList& operator=(const MeshList&) = delete;

    size_t count() const { return m_meshes.size(); }
    const Mesh* mesh(size_t index) const { return index < m_meshes.size() ? m_meshes[index] : nullptr; }
    float scale() const { return m_scale; }

private:
    MeshList() = default;
    std::vector<Mesh*> m_meshes;
    float m_scale = 1.0f;
};
