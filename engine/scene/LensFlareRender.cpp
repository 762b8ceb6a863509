// Drawing of lens flares: flare definitions read from their files and their elements
// drawn as sprites along the line through the picture's centre.
#include "diag/Diag.h"
#include "scene/LensFlareManager.h"
#include "scene/RenderDevice.h"
#include "scene/Texture.h"
#include "script/LuaConfig.h"

#include <cstdio>
#include <vector>

namespace {

struct FlareElement {
    Texture* texture = nullptr; // from the registry, given back with the definition
    float position = 0.0f;
    float size = 0.1f;
    Colour colour{1.0f, 1.0f, 1.0f, 1.0f};
};

struct FlareDefinition {
    bool loaded = false; // false: missing or malformed, draws nothing
    std::vector<FlareElement> elements;
};

FlareDefinition LoadDefinition(const std::string& fileName) {
    FlareDefinition definition;
    if (fileName.empty())
        return definition;
    LuaConfig config("");
    if (!config.LoadFile(fileName.c_str())) {
        dbTracefAux("LensFlareManager: cannot read flare '%s': %s", fileName.c_str(),
                    config.LastError().c_str());
        return definition;
    }
    if (config.GetType("flare") != LUATYPE_TABLE) {
        dbTracefAux("LensFlareManager: flare '%s' has no table 'flare'", fileName.c_str());
        return definition;
    }
    config.PushTable("flare");
    if (config.GetType("elements") == LUATYPE_TABLE) {
        config.PushTable("elements");
        char key[1024] = {0};
        LuaType type = LUATYPE_NIL;
        while (config.NextEntry(key, sizeof key, &type)) {
            if (type != LUATYPE_TABLE)
                continue;
            config.PushTable(key);
            FlareElement element;
            char textureName[4096];
            double number = 0.0;
            if (config.GetString("texture", textureName, sizeof textureName))
                element.texture = TextureRegistry::instance()->find(textureName);
            if (config.GetDouble("position", &number))
                element.position = static_cast<float>(number);
            if (config.GetDouble("size", &number))
                element.size = static_cast<float>(number);
            std::vector<float> colour;
            if (config.GetFloatArray("colour", colour) && colour.size() == 4)
                element.colour = {colour[0], colour[1], colour[2], colour[3]};
            definition.elements.push_back(element);
            config.PopTable();
        }
        config.PopTable();
    }
    config.PopTable();
    definition.loaded = true;
    return definition;
}

} // namespace

struct LensFlareManager::Definitions {
    std::map<std::string, FlareDefinition> byName;

    ~Definitions() {
        for (auto& [name, definition] : byName)
            for (FlareElement& element : definition.elements)
                if (element.texture)
                    TextureRegistry::instance()->releaseTexture(element.texture);
    }

    const FlareDefinition& Get(const std::string& fileName) {
        auto found = byName.find(fileName);
        if (found == byName.end())
            found = byName.emplace(fileName, LoadDefinition(fileName)).first;
        return found->second;
    }
};

LensFlareManager::LensFlareManager() : m_definitions(std::make_unique<Definitions>()) {}

LensFlareManager::~LensFlareManager() = default;

void LensFlareManager::Render(const Matrix4& view, const Matrix4& projection, float brightness) {
    RenderDevice* device = rndTable();
    if (!device || m_objects.empty())
        return;
    const RenderViewport& viewport = device->GetViewport();
    const float aspect =
        viewport.width > 0 && viewport.height > 0
            ? static_cast<float>(viewport.width) / static_cast<float>(viewport.height)
            : 1.0f;
    const RenderStates saved = device->SaveStates();
    device->Disable(RenderState::DepthTest);
    device->SetDepthWrite(false);
    device->Enable(RenderState::Blending);
    device->Enable(RenderState::Texturing);
    device->SetBlendMode(BlendMode::AdditiveAlpha);

    const Vector3 eye = view.Inverse().Translation();
    for (const auto& [number, object] : m_objects) {
        if (!object.visible || object.fade <= 0.0f || object.scale <= 0.0f)
            continue;
        // An infinite flare sits at its direction from the eye, as far as it goes.
        const Vector3 world = object.infinite ? eye + object.position * 1.0e4f : object.position;
        const Vector3 camera = view.TransformPoint(world);
        if (camera.z >= 0.0f)
            continue; // behind the eye
        const float clip[4] = {camera.x * projection.m[0][0] + camera.y * projection.m[1][0] +
                                   camera.z * projection.m[2][0] + projection.m[3][0],
                               camera.x * projection.m[0][1] + camera.y * projection.m[1][1] +
                                   camera.z * projection.m[2][1] + projection.m[3][1],
                               0.0f,
                               camera.x * projection.m[0][3] + camera.y * projection.m[1][3] +
                                   camera.z * projection.m[2][3] + projection.m[3][3]};
        if (clip[3] <= 0.0f)
            continue;
        const float sx = 0.5f + 0.5f * clip[0] / clip[3];
        const float sy = 0.5f + 0.5f * clip[1] / clip[3];
        if (sx < 0.0f || sx > 1.0f || sy < 0.0f || sy > 1.0f)
            continue; // the source is off the picture
        const FlareDefinition& definition = m_definitions->Get(object.fileName);
        for (const FlareElement& element : definition.elements) {
            const float x = sx + (0.5f - sx) * element.position;
            const float y = sy + (0.5f - sy) * element.position;
            const float halfHeight = 0.5f * element.size * object.scale;
            const float halfWidth = halfHeight / aspect;
            Colour colour = element.colour;
            colour.a *= object.fade * brightness;
            const RenderVertex quad[4] = {{{x - halfWidth, y - halfHeight, 0}, colour, 0, 0},
                                          {{x - halfWidth, y + halfHeight, 0}, colour, 0, 1},
                                          {{x + halfWidth, y + halfHeight, 0}, colour, 1, 1},
                                          {{x + halfWidth, y - halfHeight, 0}, colour, 1, 0}};
            if (element.texture)
                element.texture->bind(TextureWrap::Clamp);
            else
                device->BindTexture(0);
            device->Draw(Primitive::Quads, quad, 4);
        }
    }
    device->BindTexture(0);
    device->RestoreStates(saved);
}
