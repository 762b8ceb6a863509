#pragma once

// Review snapshots (".sparvsnap"): one self-contained file that shows one frame of an
// effect exactly, to be passed around and opened anywhere. It holds the effect's types
// inline (every FX type it needs, the main one first, each as its FX file would hold
// it), the scene (seed, camera, background, grids, gravity, wind, emitter placement),
// the time, the view's size and a note. Textures and meshes are named by path, not
// included: a missing one is reported, and the frame is drawn without it.
//
// The file is a Lua table read through the same sandbox as FX files (LuaConfig), so a
// hostile snapshot is refused the way a hostile FX file is, with the same reason:
//
//   snapshot = {
//       format = 1,
//       note = "the sparks fade too early",
//       time = 0.4, seed = 0, size = {640, 360},
//       camera = { yaw = 0, pitch = -45, distance = 20, target = {0, 0, 0} },
//       background = {0.25, 0.25, 0.25},
//       grid = { xz = 1, xy = 0 },
//       gravity = {0, -58.86, 0}, wind = {0, 0, 0},
//       emitter = { transform = {1, 0, 0, 0, ...16 numbers}, scale = 1, length = 1,
//                   velocity = {0, 0, 0} },
//       types = {
//           type_00 = { name = "explosion", fx = { style = "STYLE_SPRAY", properties = {...} } },
//           type_01 = { name = "spark", fx = { ... } },
//       },
//   }

#include "definitions/FXProperty.h"
#include "definitions/FXType.h"
#include "review/FXReviewScene.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One type as the snapshot holds it.
struct FXSnapshotType {
    std::string name; // lower case
    int style = 0;    // 0 to 8
    FXPropertyList properties;
};

// How a snapshot's type compares with the working directory's file of the same name.
struct FXSnapshotTypeStatus {
    enum class Kind { Same, Differs, NoFile, Unreadable };
    std::string name;
    Kind kind = Kind::Same;
    std::vector<std::string> properties; // Differs: the properties whose values differ
    std::string reason;                  // Unreadable: why the file cannot be read
};

// A file a type names (texture, mesh, flare) that does not exist.
struct FXSnapshotMissingFile {
    std::string type;
    std::string property;
    std::string file;
};

class FXSnapshot {
public:
    // Longest note kept, in bytes; the longest time, in seconds, a snapshot may show.
    static constexpr size_t kMaxNoteBytes = 65535;
    static constexpr double kMaxTime = 600.0;

    std::vector<FXSnapshotType> types; // the main type first
    FXReviewScene scene;
    double time = 0.0; // seconds of the effect shown, 0 to kMaxTime
    int width = 640;   // the view's size in pixels, 1 to 8192 each
    int height = 360;
    std::string note;

    // The main type's name; empty when there are no types.
    std::string MainType() const { return types.empty() ? std::string() : types.front().name; }

    // Fills types from the FX registry: mainType and, depth first, every type it spawns,
    // each once, with their current values (the editor's proxies give its edited types).
    // False, with a reason, when the main type cannot be had.
    bool CaptureTypes(const std::string& mainType, std::string* reason = nullptr);
    // The same, with the types found through find (a name in any case; null when there is
    // no such type), for a program that holds its types outside the registry.
    using TypeFinder = std::function<const FXType*(const std::string& name)>;
    bool CaptureTypes(const std::string& mainType, const TypeFinder& find,
                      std::string* reason = nullptr);

    // Writes the snapshot (through a temporary file renamed over path, so a failed write
    // leaves an existing file as it was). False, with a reason, when it cannot be written
    // or there are no types.
    bool Write(const std::string& path, std::string* reason = nullptr) const;
    // Reads a snapshot at an aliased or host path, replacing this one's content. False,
    // with a reason, when the file is missing, refused by the sandbox (bytecode, memory,
    // runaway scripts, forbidden libraries, bytes that are not UTF-8 ...) or malformed;
    // this snapshot is then unchanged.
    bool Read(const std::string& path, std::string* reason = nullptr);
    // The same for content held in memory; chunkName names it in reasons.
    bool ReadText(const char* text, size_t length, const char* chunkName,
                  std::string* reason = nullptr);

    // Typed objects of the snapshot's types, with their styles' defaults overridden by the
    // snapshot's values, in the snapshot's order.
    std::vector<std::shared_ptr<FXType>> BuildTypes() const;
    // Destroys every live instance, empties the FX registry and registers the snapshot's
    // types, so that they are used in place of the working directory's files (types the
    // snapshot lacks still load from files). False, with a reason, when the runtime is not
    // started or there are no types.
    bool RegisterTypes(std::string* reason = nullptr) const;

    // For each type, whether the working directory's file of that name holds the same
    // values.
    std::vector<FXSnapshotTypeStatus> CompareWithFiles() const;
    // The files the types name that do not exist.
    std::vector<FXSnapshotMissingFile> MissingFiles() const;
};
