#include "review/FXHeadlessView.h"

#include "host/HeadlessGLContext.h"
#include "host/HeadlessWindow.h"
#include "image/StraightAlpha.h"
#include "math/Random.h"
#include "runtime/FXManager.h"
#include "runtime/FXPreview.h"
#include "runtime/FXRendererGL.h"
#include "scene/GLRenderDevice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Destroys every live instance, roots and children alike, leaving the registry alone.
void DestroyInstances(FXManager& manager) {
    while (!manager.Records().empty()) {
        const size_t before = manager.Records().size();
        manager.Destroy(manager.HandleOf(manager.Records().front()));
        if (manager.Records().size() >= before)
            break; // cannot happen: Destroy always removes a live record
    }
}

} // namespace

std::unique_ptr<FXHeadlessView> FXHeadlessView::Create(int width, int height, std::string* reason) {
    if (width < 1 || height < 1 || width > 8192 || height > 8192) {
        if (reason)
            *reason = "a view of " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels is out of range (1 to 8192 each)";
        return nullptr;
    }
    std::unique_ptr<FXHeadlessView> view(new FXHeadlessView);
    std::string why;
    view->m_context = HeadlessGLContext::Create(width, height, &why);
    if (!view->m_context) {
        if (reason)
            *reason = "no headless OpenGL: " + why;
        return nullptr;
    }
    view->m_width = width;
    view->m_height = height;
    view->m_window = std::make_unique<HeadlessWindow>(*view->m_context);
    FXHeadlessView* self = view.get();
    view->m_renderer = std::make_unique<FXRendererGL>([self]() -> std::unique_ptr<RenderDevice> {
        GLRenderDeviceOptions options;
        options.coverageAlpha = self->m_transparent;
        auto device = GLRenderDevice::Create(options);
        self->m_device = device.get();
        return device;
    });
    view->m_preview = std::make_unique<FXPreview>(*view->m_renderer);
    view->m_preview->Initialise(view->m_window.get());
    if (!view->m_device) {
        if (reason)
            *reason = "no OpenGL render device on the headless context";
        return nullptr;
    }
    view->m_preview->Resize(width, height);
    view->SetScene(FXReviewScene{});
    return view;
}

FXHeadlessView::~FXHeadlessView() {
    // The device's GL objects go with the context they were made in.
    if (m_context)
        m_context->MakeCurrent();
    m_preview.reset();
    m_renderer.reset();
}

void FXHeadlessView::SetScene(const FXReviewScene& scene) {
    FXOrbitCamera& camera = m_preview->Camera();
    camera.SetYaw(scene.camera.yaw);
    camera.SetPitch(scene.camera.pitch);
    camera.SetDistance(scene.camera.distance);
    camera.SetTarget(scene.camera.target);
    m_preview->gridXZ = scene.gridXZ;
    m_preview->gridXY = scene.gridXY;
    m_background = scene.background;
    m_renderer->SetClearColour(
        {m_background.r, m_background.g, m_background.b, m_transparent ? 0.0f : 1.0f});
}

void FXHeadlessView::SetTransparent(bool transparent) {
    m_transparent = transparent;
    if (m_device)
        m_device->SetCoverageAlpha(transparent);
    m_renderer->SetClearColour(
        {m_background.r, m_background.g, m_background.b, m_transparent ? 0.0f : 1.0f});
}

bool FXHeadlessView::Start(const std::string& typeName, const FXReviewScene& scene,
                           std::string* reason) {
    FXManager* manager = FXManager::Instance();
    if (!manager) {
        if (reason)
            *reason = "the FX runtime is not started";
        return false;
    }
    m_context->MakeCurrent();
    DestroyInstances(*manager);
    manager->SetMaxUpdateStep(std::numeric_limits<float>::max());
    RandomSeed(scene.seed);
    FXSetGravity(scene.gravity);
    FXSetWind(scene.wind);
    SetScene(scene);
    m_time = 0.0;
    if (typeName.empty() || typeName == "-")
        return true;
    const FXHandle handle = manager->Create(typeName.c_str(), nullptr, 1);
    if (handle.IsNull()) {
        if (reason)
            *reason = typeName + ": cannot create an instance of this FX type";
        return false;
    }
    manager->SetTransform(handle, scene.placement.transform);
    manager->SetScale(handle, scene.placement.scale);
    manager->SetLength(handle, scene.placement.length);
    manager->SetVelocity(handle, scene.placement.velocity);
    return true;
}

void FXHeadlessView::Advance(double seconds) {
    seconds = std::max(seconds, 0.0);
    const long steps = FXReviewStepCount(seconds);
    // A window toolkit may have made its own context current since the last frame.
    m_context->MakeCurrent();
    for (long i = 0; i < steps; ++i)
        m_preview->Frame(static_cast<float>(seconds / static_cast<double>(steps)), m_width,
                         m_height);
    m_time += seconds;
}

Image FXHeadlessView::Picture() {
    m_context->MakeCurrent();
    Image picture{m_width, m_height, m_context->ReadPixels()};
    if (m_transparent)
        CoverageToStraightAlpha(picture.rgba.data(), picture.rgba.size() / 4, m_background);
    else
        for (size_t i = 3; i < picture.rgba.size(); i += 4)
            picture.rgba[i] = 255;
    return picture;
}

const Matrix4& FXHeadlessView::ViewMatrix() const {
    return m_preview->Camera().GetViewMatrix();
}

const Matrix4& FXHeadlessView::ProjectionMatrix() const {
    return *m_renderer->GetProjection();
}
