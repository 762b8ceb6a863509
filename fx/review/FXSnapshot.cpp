#include "review/FXSnapshot.h"

#include "definitions/FXFile.h"
#include "definitions/FXMissingFiles.h"
#include "definitions/FXStyle.h"
#include "definitions/FXTypeFactory.h"
#include "runtime/FXManager.h"
#include "script/LuaConfig.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>

namespace {

constexpr double kFormat = 1.0;
// More types than any effect needs; keeps a hostile file from asking for millions.
constexpr size_t kMaxTypes = 4096;
constexpr size_t kNameBufferSize = 256;

// Reads the snapshot table of a loaded script; the first broken rule fails the read
// with a reason naming the key.
class SnapshotReader {
public:
    SnapshotReader(LuaConfig& config, std::string* reason) : m_config(config), m_reason(reason) {}

    bool Fail(const std::string& why) {
        if (m_reason)
            *m_reason = why;
        return false;
    }

    // A finite number in lowest..highest under key; absent keys keep out.
    bool Number(const char* key, const char* path, double lowest, double highest, double& out) {
        if (m_config.GetType(key) == LUATYPE_NIL)
            return true;
        double value = 0.0;
        if (!m_config.GetDouble(key, &value) || !(value >= lowest && value <= highest))
            return Fail(std::string(path) + " is not a number from " + Text(lowest) + " to " +
                        Text(highest));
        out = value;
        return true;
    }
    bool Number(const char* key, const char* path, double lowest, double highest, float& out) {
        double value = out;
        if (!Number(key, path, lowest, highest, value))
            return false;
        out = static_cast<float>(value);
        return true;
    }

    // Exactly count finite numbers under key; absent keys keep out.
    bool Numbers(const char* key, const char* path, size_t count, float* out) {
        if (m_config.GetType(key) == LUATYPE_NIL)
            return true;
        std::vector<float> numbers;
        if (!m_config.GetFloatArray(key, numbers) || numbers.size() != count ||
            !std::all_of(numbers.begin(), numbers.end(), [](float v) { return std::isfinite(v); }))
            return Fail(std::string(path) + " is not an array of " + std::to_string(count) +
                        " finite numbers");
        std::copy(numbers.begin(), numbers.end(), out);
        return true;
    }
    bool Vector(const char* key, const char* path, Vector3& out) {
        float values[3] = {out.x, out.y, out.z};
        if (!Numbers(key, path, 3, values))
            return false;
        out = {values[0], values[1], values[2]};
        return true;
    }

    // Enters the table under key when there is one; false (with a reason) when key holds
    // something else. entered tells whether PopTable is owed.
    bool Enter(const char* key, const char* path, bool& entered) {
        entered = false;
        const LuaType type = m_config.GetType(key);
        if (type == LUATYPE_NIL)
            return true;
        if (type != LUATYPE_TABLE)
            return Fail(std::string(path) + " is not a table");
        m_config.PushTable(key);
        entered = true;
        return true;
    }

    bool ReadSnapshot(FXSnapshot& out) {
        if (m_config.GetType("snapshot") != LUATYPE_TABLE)
            return Fail("no table 'snapshot'");
        m_config.PushTable("snapshot");
        const bool ok = ReadBody(out);
        m_config.PopTable();
        return ok;
    }

private:
    static std::string Text(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", value);
        return text;
    }

    bool ReadBody(FXSnapshot& out) {
        double format = 0.0;
        if (m_config.GetType("format") == LUATYPE_NIL || !m_config.GetDouble("format", &format))
            return Fail("snapshot.format is not a number");
        if (format != kFormat)
            return Fail("snapshot.format " + Text(format) +
                        " is not one this program reads (format 1)");
        if (m_config.GetType("note") != LUATYPE_NIL) {
            std::vector<char> note(FXSnapshot::kMaxNoteBytes + 1);
            if (!m_config.GetString("note", note.data(), note.size()))
                return Fail("snapshot.note is not a string of at most " +
                            std::to_string(FXSnapshot::kMaxNoteBytes) + " bytes");
            out.note = note.data();
        }
        double seed = out.scene.seed;
        if (!Number("time", "snapshot.time", 0.0, FXSnapshot::kMaxTime, out.time) ||
            !Number("seed", "snapshot.seed", 0.0, 4294967295.0, seed))
            return false;
        if (seed != std::floor(seed))
            return Fail("snapshot.seed is not a whole number");
        out.scene.seed = static_cast<uint32_t>(seed);
        float size[2] = {static_cast<float>(out.width), static_cast<float>(out.height)};
        if (!Numbers("size", "snapshot.size", 2, size))
            return false;
        if (!(size[0] >= 1 && size[0] <= 8192 && size[1] >= 1 && size[1] <= 8192) ||
            size[0] != std::floor(size[0]) || size[1] != std::floor(size[1]))
            return Fail("snapshot.size is not two whole numbers from 1 to 8192");
        out.width = static_cast<int>(size[0]);
        out.height = static_cast<int>(size[1]);

        bool entered = false;
        if (!Enter("camera", "snapshot.camera", entered))
            return false;
        if (entered) {
            FXReviewCamera& camera = out.scene.camera;
            const bool ok =
                Number("yaw", "snapshot.camera.yaw", -1e6, 1e6, camera.yaw) &&
                Number("pitch", "snapshot.camera.pitch", -1e6, 1e6, camera.pitch) &&
                Number("distance", "snapshot.camera.distance", 1e-6, 1e9, camera.distance) &&
                Vector("target", "snapshot.camera.target", camera.target);
            m_config.PopTable();
            if (!ok)
                return false;
        }

        float background[3] = {out.scene.background.r, out.scene.background.g,
                               out.scene.background.b};
        if (!Numbers("background", "snapshot.background", 3, background))
            return false;
        out.scene.background = {std::clamp(background[0], 0.0f, 1.0f),
                                std::clamp(background[1], 0.0f, 1.0f),
                                std::clamp(background[2], 0.0f, 1.0f), 1.0f};
        if (!Enter("grid", "snapshot.grid", entered))
            return false;
        if (entered) {
            double xz = out.scene.gridXZ ? 1.0 : 0.0;
            double xy = out.scene.gridXY ? 1.0 : 0.0;
            const bool ok = Number("xz", "snapshot.grid.xz", 0.0, 1.0, xz) &&
                            Number("xy", "snapshot.grid.xy", 0.0, 1.0, xy);
            m_config.PopTable();
            if (!ok)
                return false;
            out.scene.gridXZ = xz != 0.0;
            out.scene.gridXY = xy != 0.0;
        }
        if (!Vector("gravity", "snapshot.gravity", out.scene.gravity) ||
            !Vector("wind", "snapshot.wind", out.scene.wind))
            return false;

        if (!Enter("emitter", "snapshot.emitter", entered))
            return false;
        if (entered) {
            FXEmitterPlacement& placement = out.scene.placement;
            const bool ok =
                Numbers("transform", "snapshot.emitter.transform", 16,
                        &placement.transform.m[0][0]) &&
                Number("scale", "snapshot.emitter.scale", -1e9, 1e9, placement.scale) &&
                Number("length", "snapshot.emitter.length", -1e9, 1e9, placement.length) &&
                Vector("velocity", "snapshot.emitter.velocity", placement.velocity);
            m_config.PopTable();
            if (!ok)
                return false;
        }
        return ReadTypes(out.types);
    }

    bool ReadTypes(std::vector<FXSnapshotType>& types) {
        if (m_config.GetType("types") != LUATYPE_TABLE)
            return Fail("snapshot.types is not a table");
        m_config.PushTable("types");
        const bool ok = ReadTypeEntries(types);
        m_config.PopTable();
        if (ok && types.empty())
            return Fail("snapshot.types holds no type (type_00 is missing)");
        return ok;
    }

    bool ReadTypeEntries(std::vector<FXSnapshotType>& types) {
        std::set<std::string> names;
        for (size_t index = 0;; ++index) {
            const std::string key = FXNumberedKey("type_", index);
            const LuaType kind = m_config.GetType(key.c_str());
            if (kind == LUATYPE_NIL)
                return true;
            if (index >= kMaxTypes)
                return Fail("snapshot.types holds more than " + std::to_string(kMaxTypes) +
                            " types");
            const std::string path = "snapshot.types." + key;
            if (kind != LUATYPE_TABLE)
                return Fail(path + " is not a table");
            m_config.PushTable(key.c_str());
            FXSnapshotType type;
            char name[kNameBufferSize];
            bool ok = m_config.GetString("name", name, sizeof name) && name[0] != '\0';
            if (!ok)
                Fail(path + ".name is not a type name of 1 to 255 bytes");
            if (ok) {
                type.name = FXLowerCase(name);
                std::string why;
                ok = FXReadTable(m_config, "fx", type.style, type.properties, &why);
                if (!ok)
                    Fail("type '" + type.name + "': " + why);
            }
            m_config.PopTable();
            if (!ok)
                return false;
            if (!names.insert(type.name).second)
                return Fail("type '" + type.name + "' is in the snapshot twice");
            types.push_back(std::move(type));
        }
    }

    LuaConfig& m_config;
    std::string* m_reason;
};

void SetReason(std::string* reason, const std::string& text) {
    if (reason)
        *reason = text;
}

std::shared_ptr<FXType> BuildType(int style, const std::string& name,
                                  const FXPropertyList& properties) {
    std::shared_ptr<FXType> type = FXNewType(style, name.c_str());
    if (type)
        for (const FXProperty& property : properties)
            type->SetProperty(property.name.c_str(), property.value);
    return type;
}

// Reads the snapshot table of a loaded script into snapshot, which a failure leaves as it
// was.
bool ReadLoaded(LuaConfig& config, FXSnapshot& snapshot, std::string* reason) {
    FXSnapshot read;
    SnapshotReader reader(config, reason);
    if (!reader.ReadSnapshot(read))
        return false;
    snapshot = std::move(read);
    return true;
}

bool FileExists(const std::string& aliased) {
    std::string host;
    std::error_code ignored;
    return FilePath::ConvertFromAlias(aliased, host) &&
           std::filesystem::is_regular_file(host, ignored);
}

} // namespace

bool FXSnapshot::CaptureTypes(const std::string& mainType, std::string* reason) {
    FXManager* manager = FXManager::Instance();
    if (!manager) {
        SetReason(reason, "the FX runtime is not started");
        return false;
    }
    return CaptureTypes(
        mainType, [manager](const std::string& name) { return manager->TypeFind(name.c_str()); },
        reason);
}

bool FXSnapshot::CaptureTypes(const std::string& mainType, const TypeFinder& find,
                              std::string* reason) {
    std::vector<FXSnapshotType> captured;
    std::set<std::string> seen;
    std::vector<std::string> pending{mainType};
    while (!pending.empty()) {
        const std::string name = pending.back();
        pending.pop_back();
        if (name.empty() || !seen.insert(FXLowerCase(name.c_str())).second)
            continue;
        const FXType* type = find(name);
        if (!type) {
            if (captured.empty()) {
                SetReason(reason, mainType + ": no such FX type");
                return false;
            }
            continue;
        }
        FXSnapshotType entry;
        entry.name = type->GetName();
        entry.style = type->GetStyle();
        type->GetProperties(entry.properties);
        for (FXProperty& property : entry.properties)
            property.description.clear();
        captured.push_back(std::move(entry));
        std::vector<std::string> children;
        type->GetChildTypes(children);
        // Reversed onto the stack, so children are taken in their own order.
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    types = std::move(captured);
    return true;
}

bool FXSnapshot::Write(const std::string& path, std::string* reason) const {
    if (types.empty()) {
        SetReason(reason, "a snapshot needs at least one type");
        return false;
    }
    LuaConfig config("");
    config.AddTable("snapshot");
    config.SetNumber("format", kFormat);
    config.SetString("note", note.substr(0, kMaxNoteBytes).c_str());
    config.SetNumber("time", time);
    config.SetNumber("seed", scene.seed);
    const double size[2] = {static_cast<double>(width), static_cast<double>(height)};
    config.SetNumberArray("size", size, 2);
    auto setVector = [&](const char* key, const Vector3& v) {
        const double values[3] = {v.x, v.y, v.z};
        config.SetNumberArray(key, values, 3);
    };
    config.AddTable("camera");
    config.SetNumber("yaw", scene.camera.yaw);
    config.SetNumber("pitch", scene.camera.pitch);
    config.SetNumber("distance", scene.camera.distance);
    setVector("target", scene.camera.target);
    config.PopTable();
    const double background[3] = {scene.background.r, scene.background.g, scene.background.b};
    config.SetNumberArray("background", background, 3);
    config.AddTable("grid");
    config.SetNumber("xz", scene.gridXZ ? 1.0 : 0.0);
    config.SetNumber("xy", scene.gridXY ? 1.0 : 0.0);
    config.PopTable();
    setVector("gravity", scene.gravity);
    setVector("wind", scene.wind);
    config.AddTable("emitter");
    double transform[16];
    for (int i = 0; i < 16; ++i)
        transform[i] = scene.placement.transform.m[i / 4][i % 4];
    config.SetNumberArray("transform", transform, 16);
    config.SetNumber("scale", scene.placement.scale);
    config.SetNumber("length", scene.placement.length);
    setVector("velocity", scene.placement.velocity);
    config.PopTable();
    config.AddTable("types");
    for (size_t i = 0; i < types.size(); ++i) {
        config.AddTable(FXNumberedKey("type_", i).c_str());
        config.SetString("name", types[i].name.c_str());
        FXAddTable(config, "fx", types[i].style, types[i].properties);
        config.PopTable();
    }
    config.PopTable();
    config.PopTable();
    if (!config.StartSave(path.c_str()) ||
        !config.SaveVar("snapshot", 0, LuaSaveLayout::Indented) || !config.EndSave()) {
        SetReason(reason,
                  config.LastError().empty() ? path + ": cannot be written" : config.LastError());
        return false;
    }
    return true;
}

bool FXSnapshot::Read(const std::string& path, std::string* reason) {
    LuaConfig config("");
    if (!config.LoadFile(path.c_str())) {
        SetReason(reason, config.LastError());
        return false;
    }
    return ReadLoaded(config, *this, reason);
}

bool FXSnapshot::ReadText(const char* text, size_t length, const char* chunkName,
                          std::string* reason) {
    LuaConfig config("");
    const std::string name = std::string("=") + (chunkName ? chunkName : "snapshot");
    if (!config.LoadString(text, length, name.c_str())) {
        SetReason(reason, config.LastError());
        return false;
    }
    return ReadLoaded(config, *this, reason);
}

std::vector<std::shared_ptr<FXType>> FXSnapshot::BuildTypes() const {
    std::vector<std::shared_ptr<FXType>> built;
    for (const FXSnapshotType& type : types)
        if (auto object = BuildType(type.style, type.name, type.properties))
            built.push_back(std::move(object));
    return built;
}

bool FXSnapshot::RegisterTypes(std::string* reason) const {
    FXManager* manager = FXManager::Instance();
    if (!manager) {
        SetReason(reason, "the FX runtime is not started");
        return false;
    }
    if (types.empty()) {
        SetReason(reason, "the snapshot holds no type");
        return false;
    }
    manager->TypeReleaseAll();
    manager->Reset();
    for (std::shared_ptr<FXType>& type : BuildTypes())
        manager->TypeAdd(std::move(type));
    return true;
}

std::vector<FXSnapshotTypeStatus> FXSnapshot::CompareWithFiles() const {
    std::vector<FXSnapshotTypeStatus> statuses;
    for (const FXSnapshotType& type : types) {
        FXSnapshotTypeStatus status;
        status.name = type.name;
        const std::string path = FXTypeFilePath(type.name.c_str());
        int style = kStyleNone;
        FXPropertyList fileProperties;
        if (!FileExists(path)) {
            status.kind = FXSnapshotTypeStatus::Kind::NoFile;
        } else if (!FXReadFile(path.c_str(), style, fileProperties, &status.reason)) {
            status.kind = FXSnapshotTypeStatus::Kind::Unreadable;
        } else if (style != type.style) {
            status.kind = FXSnapshotTypeStatus::Kind::Differs;
            status.properties.push_back("style");
        } else {
            // Compared as the runtime would see them: defaults overridden by the values.
            FXPropertyList mine;
            FXPropertyList theirs;
            BuildType(type.style, type.name, type.properties)->GetProperties(mine);
            BuildType(style, type.name, fileProperties)->GetProperties(theirs);
            for (auto a = mine.begin(), b = theirs.begin(); a != mine.end() && b != theirs.end();
                 ++a, ++b)
                if (!(a->value == b->value))
                    status.properties.push_back(a->name);
            if (!status.properties.empty())
                status.kind = FXSnapshotTypeStatus::Kind::Differs;
        }
        statuses.push_back(std::move(status));
    }
    return statuses;
}

std::vector<FXSnapshotMissingFile> FXSnapshot::MissingFiles() const {
    std::vector<FXSnapshotMissingFile> missing;
    for (const std::shared_ptr<FXType>& type : BuildTypes())
        for (FXMissingFile& file : FXFindMissingFiles(*type))
            missing.push_back({type->GetName(), std::move(file.property), std::move(file.file)});
    return missing;
}
