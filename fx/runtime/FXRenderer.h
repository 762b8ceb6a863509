#pragma once

// The graphics interface the editor's preview (and the headless tools) drive: start-up,
// attaching to a window, viewport and matrices, clearing and presenting frames, the
// reference grid, lens flares and the statistics overlay.

#include "math/Math.h"

class FXCamera;
class StatMonitor;
class WindowInterface;

// The spacing of the reference grid's lines for a camera distance: the power of ten,
// from 1e-5 up, that the distance brought below 0.001 by tenths calls for.
inline float FXGridSpacing(float distance) {
    float spacing = 1e-5f;
    while (distance > 0.001f) {
        distance /= 10.0f;
        spacing *= 10.0f;
    }
    return spacing;
}

class FXRenderer {
public:
    virtual ~FXRenderer() = default;
    virtual bool Startup() = 0;
    // Whether the window offers a display mode; the first is used.
    virtual bool SelectDisplayMode() = 0;
    // Attaches to a window (makes its GL context current); a window that cannot be
    // attached stops the program.
    virtual void Attach(WindowInterface* window) = 0;
    virtual void SetViewport(int x, int y, int width, int height) = 0;
    virtual void Hook(int argument) = 0; // nothing reacts to it
    // A square grid in the plane of axes u and v, sized to the camera distance.
    virtual void DrawGrid(float distance, const Vector3& u, const Vector3& v) = 0;
    // A perspective of 75 degrees at the window's aspect ratio.
    virtual void SetProjection(float nearDistance, float farDistance) = 0;
    virtual void Hook() = 0; // nothing reacts to it
    // Depth test always passing and depth writes off, for overlays.
    virtual void DisableDepth() = 0;
    virtual const Matrix4* GetProjection() const = 0;
    virtual void SetClearColour(const Colour& colour) = 0;
    virtual const Colour* GetClearColour() const = 0;
    virtual void SetViewMatrix(const Matrix4& view) = 0;
    // The statistics overlay of a monitor; nothing without one.
    virtual void DrawStats(const StatMonitor* monitor) = 0;
    virtual void RenderLensFlares(const FXCamera& camera, float value) = 0;
    virtual void BeginFrame() = 0;
    virtual void EndFrame() = 0;
};
