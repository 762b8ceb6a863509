#include "runtime/FXPreview.h"

#include "runtime/FXFrustum.h"
#include "runtime/FXManager.h"
#include "runtime/FXRenderer.h"

FXPreview::FXPreview(FXRenderer& renderer)
    : m_renderer(renderer), m_stats("RENDER", 0.0f, 0.8f, 0.3f, 0.15f) {
    m_camera.SetPitch(-45.0f);
    m_camera.SetDistance(20.0f);
}

void FXPreview::Initialise(WindowInterface* window) {
    m_renderer.Startup();
    m_renderer.SelectDisplayMode();
    m_renderer.Attach(window);
    m_renderer.SetProjection(2.0f, 10000.0f);
    m_renderer.Hook();
    m_renderer.DisableDepth();
}

void FXPreview::Resize(int width, int height) {
    m_camera.SetAspectRatio(height < 1 ? 1.0f
                                       : static_cast<float>(width) / static_cast<float>(height));
}

void FXPreview::Frame(float step, int width, int height) {
    Draw(step, width, height, true);
}

void FXPreview::Redraw(int width, int height) {
    Draw(0.0f, width, height, false);
}

void FXPreview::Draw(float step, int width, int height, bool advance) {
    m_camera.UpdateMatrices();
    const Matrix4 view = m_camera.GetViewMatrix();

    m_renderer.SetProjection(0.01f, 4000.0f);
    m_renderer.SetViewMatrix(view);
    m_renderer.Hook(static_cast<int>(m_camera.GetFieldOfView()));
    m_renderer.SetViewport(0, 0, width, height);
    m_renderer.BeginFrame();

    const float distance = m_camera.GetDistance();
    if (gridXZ)
        m_renderer.DrawGrid(distance, {1, 0, 0}, {0, 0, 1});
    if (gridXY)
        m_renderer.DrawGrid(distance, {1, 0, 0}, {0, 1, 0});
    m_gridCellSize = FXGridSpacing(distance);

    FXFrustum frustum;
    m_camera.BuildFrustum(frustum);
    if (FXManager* manager = FXManager::Instance()) {
        m_stats.Start("Update", 0.0f, 50.0f);
        if (advance)
            manager->Update(step);
        m_stats.Stop("Update");
        m_stats.Start("Display", 0.0f, 50.0f);
        manager->Render(frustum, m_camera);
        m_stats.Stop("Display");
    }
    m_stats.Report("Update");
    m_stats.Report("Display");
    m_stats.NextFrame();
    if (showStats)
        m_renderer.DrawStats(&m_stats);

    m_displayTime += step;
    m_renderer.RenderLensFlares(m_camera, m_displayTime);
    m_renderer.EndFrame();
}
