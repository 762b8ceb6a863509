#pragma once

// The renderer over the render device: the OpenGL back end in a window, or any device a
// caller supplies (tests draw through the recording one). Attaching publishes the device
// as the render table every drawing call of the FX runtime goes through.

#include "runtime/FXRenderer.h"

#include <functional>
#include <memory>

class RenderDevice;

class FXRendererGL : public FXRenderer {
public:
    // makeDevice: builds the device once a window's context is current; by default the
    // OpenGL back end.
    using DeviceFactory = std::function<std::unique_ptr<RenderDevice>()>;
    explicit FXRendererGL(DeviceFactory makeDevice = {});
    ~FXRendererGL() override;

    bool Startup() override;
    bool SelectDisplayMode() override;
    void Attach(WindowInterface* window) override;
    void SetViewport(int x, int y, int width, int height) override;
    void Hook(int) override {}
    void DrawGrid(float distance, const Vector3& u, const Vector3& v) override;
    void SetProjection(float nearDistance, float farDistance) override;
    void Hook() override {}
    void DisableDepth() override;
    const Matrix4* GetProjection() const override { return &m_projection; }
    void SetClearColour(const Colour& colour) override { m_clearColour = colour; }
    const Colour* GetClearColour() const override { return &m_clearColour; }
    void SetViewMatrix(const Matrix4& view) override;
    void DrawStats(const StatMonitor* monitor) override;
    void RenderLensFlares(const FXCamera& camera, float value) override;
    void BeginFrame() override;
    void EndFrame() override;

    RenderDevice* Device() const { return m_device.get(); }

private:
    DeviceFactory m_makeDevice;
    Matrix4 m_projection;
    std::unique_ptr<RenderDevice> m_device;
    Colour m_clearColour{0.25f, 0.25f, 0.25f, 1.0f};
    WindowInterface* m_window = nullptr;
    RenderDevice* m_previousTable = nullptr;
    bool m_startedLights = false; // whether Startup started the scene managers
    bool m_startedFlares = false;
};
