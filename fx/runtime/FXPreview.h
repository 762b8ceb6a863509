#pragma once

// The live preview of an effect as the editor's render window draws it, and as
// sparv-fx render draws it headless, so both show the same picture: the orbit camera,
// the reference grids, the FX runtime's update and render passes, the statistics
// channels and the lens flares, one frame at a time.

#include "runtime/FXOrbitCamera.h"
#include "scene/StatMonitor.h"

class FXRenderer;
class WindowInterface;

class FXPreview {
public:
    // The renderer is not owned and must outlive the preview.
    explicit FXPreview(FXRenderer& renderer);

    // The renderer's set-up for a window: start-up, display mode, attach, a first
    // projection and depth off.
    void Initialise(WindowInterface* window);
    // The window's new size: the camera takes its aspect ratio.
    void Resize(int width, int height);
    // One frame advancing the effects by step seconds, drawn into a width × height
    // window.
    void Frame(float step, int width, int height);
    // The effects drawn as they stand, without advancing them (a window exposed or
    // resized, a grid switched on): no update pass runs.
    void Redraw(int width, int height);
    // Seconds the lens flares have been on display: they fade in over the first second.
    // A picture rebuilt from time 0 starts it at 0, as a headless view does.
    void SetDisplayTime(float seconds) { m_displayTime = seconds; }

    FXOrbitCamera& Camera() { return m_camera; }
    const FXOrbitCamera& Camera() const { return m_camera; }
    StatMonitor& Stats() { return m_stats; }
    // The grid's cell size for the camera distance of the last frame.
    float GridCellSize() const { return m_gridCellSize; }

    bool gridXZ = true;
    bool gridXY = false;
    bool showStats = false;

private:
    void Draw(float step, int width, int height, bool advance);

    FXRenderer& m_renderer;
    FXOrbitCamera m_camera;
    StatMonitor m_stats;
    float m_gridCellSize = 1.0f;
    float m_displayTime = 0.0f;
};
