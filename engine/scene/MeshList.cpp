#include "diag/Diag.h"
#include "scene/Mesh.h"
#include "script/LuaConfig.h"

#include <cmath>

namespace {

// A member's name as a path: names with an alias and absolute paths as they are, others
// relative to the folder of the list.
std::string MemberPath(const std::string& listPath, const std::string& name) {
    const size_t separator = name.find_first_of("/\\");
    const size_t colon = name.find(':');
    const bool aliased = colon != std::string::npos && colon < separator;
    if (aliased || separator == 0)
        return name;
    const size_t folderEnd = listPath.find_last_of("/\\:");
    return folderEnd == std::string::npos ? name : listPath.substr(0, folderEnd + 1) + name;
}

} // namespace

MeshList* MeshList::load(const char* path) {
    const char* shown = path ? path : "(null)";
    LuaConfig config(shown);
    if (!path || !config.LoadFile(path)) {
        dbTracefAux("MeshList: %s: %s", shown, config.LastError().c_str());
        return nullptr;
    }
    if (config.GetType("meshlist") != LUATYPE_TABLE) {
        dbTracefAux("MeshList: %s: no table 'meshlist'", path);
        return nullptr;
    }
    config.PushTable("meshlist");
    std::vector<std::string> names;
    const bool namesRead =
        config.GetType("meshes") == LUATYPE_TABLE && config.GetStringArray("meshes", names);
    double scale = 1.0;
    const LuaType scaleType = config.GetType("scale");
    const bool scaleRead =
        scaleType == LUATYPE_NIL ||
        (scaleType == LUATYPE_NUMBER && config.GetDouble("scale", &scale) &&
         std::isfinite(static_cast<float>(scale)) && static_cast<float>(scale) > 0.0f);
    config.PopTable();
    if (!namesRead) {
        dbTracefAux("MeshList: %s: 'meshes' is not a list of file names", path);
        return nullptr;
    }
    if (!scaleRead) {
        dbTracefAux("MeshList: %s: 'scale' is not a number above 0", path);
        return nullptr;
    }

    auto* list = new MeshList;
    list->m_scale = static_cast<float>(scale);
    for (const std::string& name : names) {
        // LoadMesh traces the reason of a member that fails.
        if (Mesh* mesh = LoadMesh(MemberPath(path, name).c_str()))
            list->m_meshes.push_back(mesh);
    }
    return list;
}

MeshList::~MeshList() {
    for (Mesh* mesh : m_meshes)
        delete mesh;
}
