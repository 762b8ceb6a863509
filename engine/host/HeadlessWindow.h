#pragma once

// A window without a screen: the headless GL context's framebuffer as the window the
// renderer attaches to.

#include "host/HeadlessGLContext.h"
#include "host/WindowInterface.h"

class HeadlessWindow : public WindowInterface {
public:
    explicit HeadlessWindow(HeadlessGLContext& context) : m_context(context) {}
    bool AttachGL() override { return m_context.MakeCurrent(); }
    int GetWidth() const override { return m_context.Width(); }
    int GetHeight() const override { return m_context.Height(); }
    void Present() override {}

private:
    HeadlessGLContext& m_context;
};
