#pragma once

// The window the renderer draws into: an on-screen widget's GL context or an off-screen
// one. The program installs the window of the frame being drawn as the current one.

class WindowInterface {
public:
    virtual ~WindowInterface() = default;
    // Makes the window's GL context current; false when it has none.
    virtual bool AttachGL() = 0;
    // Size of the drawing surface in pixels.
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Width over height; 1.0 for an empty surface.
    float GetAspectRatio() const {
        return GetWidth() > 0 && GetHeight() > 0
                   ? static_cast<float>(GetWidth()) / static_cast<float>(GetHeight())
                   : 1.0f;
    }
    // Shows the finished frame.
    virtual void Present() = 0;

    // The current window, or null.
    static WindowInterface* i();
    // Installs a window as the current one and returns the previous one.
    static WindowInterface* SetCurrent(WindowInterface* window);
};
