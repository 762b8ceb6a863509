#pragma once

// Meshes of the scene library: indexed triangle lists read from ".kmo" files, the drawable
// instances attached to them, and mesh lists (".akmo").
//
// A ".kmo" file is one IFF FORM of type "KMO " (see stream/IFFReader.h). Every number in
// it is big-endian, like the IFF headers: floats are IEEE singles stored as their 32-bit
// pattern. Chunks, in the order SaveMesh writes them (a reader takes them in any order):
//
//   tag     payload            meaning                                   presence
//   "VERS"  uint32             format version, 1                         required
//   "SCAL"  float32            the mesh's scale, finite and above 0      default 1.0
//   "PNTS"  float32 x 3 each   positions (x, y, z), at least one         required
//   "NRML"  float32 x 3 each   normals, one per position                 optional
//   "UVS "  float32 x 2 each   texture coordinates, one per position     optional
//   "TRIS"  uint32 x 3 each    triangles: indices into the positions,    required
//                              at least one triangle
//
// Every float must be finite. A chunk whose size is not a whole number of its elements,
// a chunk given twice, a missing required chunk, counts that disagree or an index past the
// positions make the file invalid. Chunks of other tags are skipped, so later versions
// may add some.
//
// A ".akmo" mesh list is a Lua script (read through LuaConfig) setting the table
// "meshlist": "meshes", the mesh files in order, and "scale", a number (default 1.0).
// Names with an alias ("Data:art/fx/box.kmo") and absolute host paths are taken as they
// are; other names are relative to the folder of the list file.
//
//   meshlist = { meshes = { "Data:art/fx/box.kmo", "shard.kmo" }, scale = 2 }

#include "math/Math.h"

#include <cstddef>
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
    // The mesh's own scale, reported to its users (a ring sizes its bounds by it);
    // drawing does not apply it.
    float scale = 1.0f;

    float getScale() const { return scale; }
    // Whether the mesh follows the rules of a ".kmo" file (above); when not, and reason is
    // given, says why.
    bool isValid(std::string* reason = nullptr) const;
    // Draws an instance of this mesh as triangles on the current device (rndTable) with
    // the current matrices, every vertex in the device's current colour, with the uvs when
    // the mesh has them (else 0, 0). Nothing is drawn without a device or when an index is
    // out of range. The extra arguments are the engine's drawing options, kept for
    // callers: (instance, 0, 1.0f, Colour{}, 0). Vertices are built in a buffer kept per
    // thread, so drawing allocates only when a mesh is larger than any drawn before.
    void draw(const MeshInstance& instance, int pass, float alpha, const Colour& tint,
              int flags) const;
};

// A drawable use of a mesh; it does not own the mesh. The caller owns what create returns
// and deletes it.
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
    // Registers the handlers that read a "KMO " form (at any depth) into a new Mesh stored
    // in *mesh, owned by the caller, when the form ends and is valid. An invalid form, or a
    // second one once *mesh is set, is refused, so the parse fails (the reader's
    // errorMessage says why). *mesh must be null before the parse; when the parse fails
    // after a form was read, *mesh is set all the same and the caller deletes it. user is
    // the engine's callback data, kept for callers and unused.
    static void addIFFParseHandlers(IFFReader& iff, Mesh** mesh, void* user);
};

// Loads a ".kmo" file at an aliased or host path: a new mesh the caller owns, or null
// (traced) when the file is missing or not a valid mesh.
Mesh* LoadMesh(const char* path);
// The same for a file's bytes in memory; null (not traced) when they are not a valid mesh,
// with the reason in error when given.
Mesh* LoadMeshFromMemory(const void* data, size_t size, std::string* error = nullptr);

// Writes a valid mesh as a ".kmo" file at an aliased or host path, atomically; false
// (traced) when the mesh is not valid or the file cannot be written.
bool SaveMesh(const Mesh& mesh, const char* path);
// The bytes SaveMesh writes; false (out emptied) when the mesh is not valid.
bool SaveMeshToMemory(const Mesh& mesh, std::vector<uint8_t>& out);

class MeshList {
public:
    // A new list the caller owns, or null (traced) when the file is missing or malformed
    // ("meshlist" not a table, "meshes" missing or not all strings, "scale" not a finite
    // number above 0). Meshes that fail to load are left out (traced).
    static MeshList* load(const char* path);
    ~MeshList();
    MeshList(const MeshList&) = delete;
    MeshList& operator=(const MeshList&) = delete;

    size_t count() const { return m_meshes.size(); }
    const Mesh* mesh(size_t index) const {
        return index < m_meshes.size() ? m_meshes[index] : nullptr;
    }
    float scale() const { return m_scale; }

private:
    MeshList() = default;
    std::vector<Mesh*> m_meshes;
    float m_scale = 1.0f;
};
