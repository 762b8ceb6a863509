#include "runtime/FXRendererGL.h"

#include "diag/Diag.h"
#include "host/WindowInterface.h"
#include "runtime/FXCamera.h"
#include "scene/GLRenderDevice.h"
#include "scene/LensFlareManager.h"
#include "scene/LightManager.h"
#include "scene/RenderDevice.h"
#include "scene/StatMonitor.h"

#include <string>
#include <vector>

FXRendererGL::FXRendererGL(DeviceFactory makeDevice) : m_makeDevice(std::move(makeDevice)) {
    if (!m_makeDevice)
        m_makeDevice = []() -> std::unique_ptr<RenderDevice> {
            std::string reason;
            auto device = GLRenderDevice::Create({}, &reason);
            if (!device)
                dbTracefAux("FXRendererGL: no OpenGL device: %s", reason.c_str());
            return device;
        };
}

FXRendererGL::~FXRendererGL() {
    if (m_device && rndTable() == m_device.get())
        rndSetTable(m_previousTable);
    // Only the managers this renderer started: a program that started them itself (the
    // tools) shuts them down after its effects are gone.
    if (m_startedFlares)
        LensFlareManager::Shutdown();
    if (m_startedLights)
        LightManager::Shutdown();
}

bool FXRendererGL::Startup() {
    if (!LightManager::i()) {
        LightManager::Startup();
        m_startedLights = true;
    }
    if (!LensFlareManager::Instance()) {
        LensFlareManager::Startup();
        m_startedFlares = true;
    }
    return true;
}

bool FXRendererGL::SelectDisplayMode() {
    // A window offers one mode: its own surface.
    return m_window != nullptr || WindowInterface::i() != nullptr;
}

void FXRendererGL::Attach(WindowInterface* window) {
    if (!window || !window->AttachGL()) {
        g_dbFilename = "FXRendererGL";
        g_dbLineNum = 130;
        dbFatalfAux("Error: GL could not be attached to the window.  Perhaps your "
                    "'devstats.dat' file is missing from the bin directory.");
    }
    m_window = window;
    if (!m_device)
        m_device = m_makeDevice();
    m_previousTable = rndSetTable(m_device.get());
}

void FXRendererGL::SetViewport(int x, int y, int width, int height) {
    if (m_device)
        m_device->SetViewport({x, y, width, height});
}

void FXRendererGL::DrawGrid(float distance, const Vector3& u, const Vector3& v) {
    if (!m_device)
        return;
    const float s = FXGridSpacing(distance);
    const float e = 50.0f * s;
    m_device->SetDepthFunction(DepthFunction::Less);
    m_device->SetDepthWrite(false);
    m_device->BindTexture(0);

    auto line = [](std::vector<RenderVertex>& out, const Vector3& a, const Vector3& b,
                   const Colour& colour) {
        out.push_back({a, colour});
        out.push_back({b, colour});
    };
    std::vector<RenderVertex> lines;
    lines.reserve(4 * 49 * 2);

    const Colour centre{0.06f, 0.06f, 0.06f, 0.06f};
    line(lines, u * -e, u * e, centre);
    line(lines, v * -e, v * e, centre);
    m_device->SetLineWidth(2.0f);
    m_device->Draw(Primitive::Lines, lines.data(), lines.size());

    lines.clear();
    for (int i = 1; i < 50; ++i) {
        const float grey = i % 10 == 0 ? 0.37f : 0.188f;
        const Colour colour{grey, grey, grey, grey};
        const float offset = static_cast<float>(i) * s;
        for (const float sign : {1.0f, -1.0f}) {
            line(lines, v * (sign * offset) - u * e, v * (sign * offset) + u * e, colour);
            line(lines, u * (sign * offset) - v * e, u * (sign * offset) + v * e, colour);
        }
    }
    m_device->SetLineWidth(1.0f);
    m_device->Draw(Primitive::Lines, lines.data(), lines.size());

    lines.clear();
    line(lines, {0, 0, 0}, {s, 0, 0}, {1, 0, 0, 1});
    line(lines, {0, 0, 0}, {0, s, 0}, {0, 1, 0, 1});
    line(lines, {0, 0, 0}, {0, 0, s}, {0, 0, 1, 1});
    m_device->Draw(Primitive::Lines, lines.data(), lines.size());
}

void FXRendererGL::SetProjection(float nearDistance, float farDistance) {
    const WindowInterface* window = m_window ? m_window : WindowInterface::i();
    const float aspect = window ? window->GetAspectRatio() : 1.0f;
    m_projection = Matrix4::Perspective(75.0f, aspect, nearDistance, farDistance);
    if (m_device)
        m_device->LoadMatrix(MatrixStack::Projection, m_projection);
}

void FXRendererGL::DisableDepth() {
    if (!m_device)
        return;
    m_device->SetDepthFunction(DepthFunction::Always);
    m_device->SetDepthWrite(false);
}

void FXRendererGL::SetViewMatrix(const Matrix4& view) {
    if (m_device)
        m_device->LoadMatrix(MatrixStack::ModelView, view);
}

void FXRendererGL::DrawStats(const StatMonitor* monitor) {
    if (!monitor || !m_device)
        return;
    const RenderViewport& viewport = m_device->GetViewport();
    const float width = viewport.width > 0 ? static_cast<float>(viewport.width) : 1.0f;
    const float height = viewport.height > 0 ? static_cast<float>(viewport.height) : 1.0f;
    m_device->LoadMatrix(MatrixStack::Projection, Matrix4::Orthographic(0, 1, 0, 1, -1, 1));
    m_device->LoadMatrix(MatrixStack::ModelView, Matrix4::Identity());
    StatMonitorRender(m_device.get()).display(1.0f / width, 1.0f / height, *monitor);
}

void FXRendererGL::RenderLensFlares(const FXCamera& camera, float value) {
    if (!m_device)
        return;
    m_device->LoadMatrix(MatrixStack::Projection, Matrix4::Orthographic(0, 1, 0, 1, -1, 1));
    m_device->LoadMatrix(MatrixStack::ModelView, Matrix4::Identity());
    if (LensFlareManager* flares = LensFlareManager::Instance())
        flares->Render(camera.GetViewMatrix(), m_projection, value);
    // The flares leave their own states behind; drawing goes on with plain ones.
    m_device->BindTexture(0);
}

void FXRendererGL::BeginFrame() {
    if (!m_device)
        return;
    m_device->BeginFrame();
    m_device->SetClearColour(m_clearColour);
    m_device->SetDepthWrite(true);
    m_device->Clear(kClearAll);
}

void FXRendererGL::EndFrame() {
    if (!m_device)
        return;
    m_device->EndFrame();
    if (m_window)
        m_window->Present();
}
