// Reading and writing ".kmo" files; the layout is described in Mesh.h.
#include "diag/Diag.h"
#include "scene/Mesh.h"
#include "stream/IFFReader.h"
#include "stream/IFFWriter.h"

#include <memory>

namespace {

constexpr IFFTag kKmoForm = MakeIFFTag("KMO ");
constexpr IFFTag kVersionChunk = MakeIFFTag("VERS");
constexpr IFFTag kScaleChunk = MakeIFFTag("SCAL");
constexpr IFFTag kPositionsChunk = MakeIFFTag("PNTS");
constexpr IFFTag kNormalsChunk = MakeIFFTag("NRML");
constexpr IFFTag kUvsChunk = MakeIFFTag("UVS ");
constexpr IFFTag kTrianglesChunk = MakeIFFTag("TRIS");
constexpr uint32_t kKmoVersion = 1;

// What one "KMO " form has given so far.
struct KmoForm {
    Mesh mesh;
    bool version = false;
    bool scale = false;
    bool positions = false;
    bool normals = false;
    bool uvs = false;
    bool triangles = false;
};

// State shared by the handlers of one reader.
struct KmoParse {
    IFFReader* reader = nullptr;
    Mesh** out = nullptr;
    KmoForm form;

    bool refuse(std::string reason) {
        reader->setRefusalReason(std::move(reason));
        return false;
    }
    // Marks a chunk as given; false the second time.
    bool first(bool& seen, const IFFChunk& chunk) {
        if (seen)
            return refuse("'" + IFFTagText(chunk.tag) + "' given twice");
        seen = true;
        return true;
    }
    // Checks that the chunk holds whole elements of elementBytes; their count in count.
    bool whole(const IFFChunk& chunk, size_t elementBytes, size_t& count) {
        if (chunk.size % elementBytes != 0) {
            return refuse("'" + IFFTagText(chunk.tag) + "' of " + std::to_string(chunk.size) +
                          " bytes, not a multiple of " + std::to_string(elementBytes));
        }
        count = chunk.size / elementBytes;
        return true;
    }
};

void ReadVectors(const IFFChunk& chunk, size_t count, std::vector<Vector3>& out) {
    out.resize(count);
    const uint8_t* p = chunk.data;
    for (Vector3& v : out) {
        v = {IFFLoadFloat(p), IFFLoadFloat(p + 4), IFFLoadFloat(p + 8)};
        p += 12;
    }
}

} // namespace

void MeshLoader::addIFFParseHandlers(IFFReader& iff, Mesh** mesh, void* /*user*/) {
    auto parse = std::make_shared<KmoParse>();
    parse->reader = &iff;
    parse->out = mesh;

    iff.addChunkHandler(kKmoForm, kVersionChunk, [parse](const IFFChunk& chunk) {
        if (!parse->first(parse->form.version, chunk))
            return false;
        if (chunk.size != 4)
            return parse->refuse("'VERS' of " + std::to_string(chunk.size) + " bytes, not 4");
        const uint32_t version = IFFLoadU32(chunk.data);
        if (version != kKmoVersion)
            return parse->refuse("version " + std::to_string(version) + " not supported");
        return true;
    });
    iff.addChunkHandler(kKmoForm, kScaleChunk, [parse](const IFFChunk& chunk) {
        if (!parse->first(parse->form.scale, chunk))
            return false;
        if (chunk.size != 4)
            return parse->refuse("'SCAL' of " + std::to_string(chunk.size) + " bytes, not 4");
        parse->form.mesh.scale = IFFLoadFloat(chunk.data);
        return true;
    });
    iff.addChunkHandler(kKmoForm, kPositionsChunk, [parse](const IFFChunk& chunk) {
        size_t count = 0;
        if (!parse->first(parse->form.positions, chunk) || !parse->whole(chunk, 12, count))
            return false;
        ReadVectors(chunk, count, parse->form.mesh.positions);
        return true;
    });
    iff.addChunkHandler(kKmoForm, kNormalsChunk, [parse](const IFFChunk& chunk) {
        size_t count = 0;
        if (!parse->first(parse->form.normals, chunk) || !parse->whole(chunk, 12, count))
            return false;
        if (count == 0)
            return parse->refuse("'NRML' empty");
        ReadVectors(chunk, count, parse->form.mesh.normals);
        return true;
    });
    iff.addChunkHandler(kKmoForm, kUvsChunk, [parse](const IFFChunk& chunk) {
        size_t count = 0;
        if (!parse->first(parse->form.uvs, chunk) || !parse->whole(chunk, 8, count))
            return false;
        if (count == 0)
            return parse->refuse("'UVS ' empty");
        std::vector<float>& uvs = parse->form.mesh.uvs;
        uvs.resize(2 * count);
        for (size_t i = 0; i < uvs.size(); ++i)
            uvs[i] = IFFLoadFloat(chunk.data + 4 * i);
        return true;
    });
    iff.addChunkHandler(kKmoForm, kTrianglesChunk, [parse](const IFFChunk& chunk) {
        size_t count = 0;
        if (!parse->first(parse->form.triangles, chunk) || !parse->whole(chunk, 12, count))
            return false;
        std::vector<uint32_t>& indices = parse->form.mesh.indices;
        indices.resize(3 * count);
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = IFFLoadU32(chunk.data + 4 * i);
        return true;
    });
    iff.addFormEndHandler(kKmoForm, [parse](const IFFChunk&) {
        KmoForm form = std::move(parse->form);
        parse->form = {};
        if (*parse->out)
            return parse->refuse("more than one mesh");
        if (!form.version)
            return parse->refuse("no 'VERS'");
        if (!form.positions)
            return parse->refuse("no 'PNTS'");
        if (!form.triangles)
            return parse->refuse("no 'TRIS'");
        std::string reason;
        if (!form.mesh.isValid(&reason))
            return parse->refuse(reason);
        *parse->out = new Mesh(std::move(form.mesh));
        return true;
    });
}

namespace {

// Parses an attached reader into a new mesh; null with the reason when it fails.
Mesh* ParseMesh(IFFReader& iff, std::string& error) {
    Mesh* mesh = nullptr;
    MeshLoader::addIFFParseHandlers(iff, &mesh, nullptr);
    const int result = iff.parse();
    if (result == kIFFOk && mesh)
        return mesh;
    delete mesh;
    error = result != kIFFOk ? iff.errorMessage() : "no 'KMO ' form";
    return nullptr;
}

} // namespace

Mesh* LoadMesh(const char* path) {
    IFFReader iff;
    std::string error;
    Mesh* mesh = nullptr;
    if (!iff.openFile(path))
        error = iff.errorMessage();
    else
        mesh = ParseMesh(iff, error);
    if (!mesh)
        dbTracefAux("LoadMesh: %s: %s", path ? path : "(null)", error.c_str());
    return mesh;
}

Mesh* LoadMeshFromMemory(const void* data, size_t size, std::string* error) {
    IFFReader iff;
    iff.attachMemory(data, size);
    std::string reason;
    Mesh* mesh = ParseMesh(iff, reason);
    if (error)
        *error = reason;
    return mesh;
}

namespace {

void WriteMesh(const Mesh& mesh, IFFWriter& iff) {
    iff.beginForm(kKmoForm);
    iff.beginChunk(kVersionChunk);
    iff.writeU32(kKmoVersion);
    iff.endChunk();
    iff.beginChunk(kScaleChunk);
    iff.writeFloat(mesh.scale);
    iff.endChunk();
    iff.beginChunk(kPositionsChunk);
    for (const Vector3& p : mesh.positions) {
        iff.writeFloat(p.x);
        iff.writeFloat(p.y);
        iff.writeFloat(p.z);
    }
    iff.endChunk();
    if (!mesh.normals.empty()) {
        iff.beginChunk(kNormalsChunk);
        for (const Vector3& n : mesh.normals) {
            iff.writeFloat(n.x);
            iff.writeFloat(n.y);
            iff.writeFloat(n.z);
        }
        iff.endChunk();
    }
    if (!mesh.uvs.empty()) {
        iff.beginChunk(kUvsChunk);
        for (const float uv : mesh.uvs)
            iff.writeFloat(uv);
        iff.endChunk();
    }
    iff.beginChunk(kTrianglesChunk);
    for (const uint32_t index : mesh.indices)
        iff.writeU32(index);
    iff.endChunk();
    iff.endForm();
}

} // namespace

bool SaveMeshToMemory(const Mesh& mesh, std::vector<uint8_t>& out) {
    out.clear();
    if (!mesh.isValid())
        return false;
    IFFWriter iff;
    WriteMesh(mesh, iff);
    if (!iff.isComplete())
        return false;
    out = iff.bytes();
    return true;
}

bool SaveMesh(const Mesh& mesh, const char* path) {
    std::string error;
    if (!mesh.isValid(&error)) {
        dbTracefAux("SaveMesh: %s: not saved, the mesh is invalid: %s", path ? path : "(null)",
                    error.c_str());
        return false;
    }
    IFFWriter iff;
    WriteMesh(mesh, iff);
    if (!iff.saveFile(path, &error)) {
        dbTracefAux("SaveMesh: %s", error.c_str());
        return false;
    }
    return true;
}
