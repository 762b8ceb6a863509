#pragma once

// A scene for the drawing styles' tests: a fresh working directory to write textures
// into, a running FX manager with a seeded generator, a recording render device made
// current and a camera placed by eye and target. Render runs the manager's whole drawing
// pass (culling, batching, each type's BeginBatch, Render and EndBatch) through it.

#include "math/Random.h"
#include "runtime/FXCamera.h"
#include "runtime/FXManager.h"
#include "scene/RecordingRenderDevice.h"
#include "support/MathExpect.h"
#include "support/TempWorkDir.h"
#include "support/TestProperties.h"
#include "support/TextureFiles.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <type_traits>
#include <vector>

class TestStyleScene {
public:
    TestStyleScene() : m_table(&m_device) {
        FXManager::Startup();
        RandomSeed(1);
    }
    ~TestStyleScene() { FXManager::Shutdown(); }
    TestStyleScene(const TestStyleScene&) = delete;
    TestStyleScene& operator=(const TestStyleScene&) = delete;

    FXManager& Manager() { return *FXManager::Instance(); }
    RecordingRenderDevice& Device() { return m_device; }
    const RecordingRenderDevice& Device() const { return m_device; }

    // Writes a white texture file (an uncompressed 32-bit TGA), such as
    // "Data/art/fx/beam.tga"; sizes tell textures apart on the device.
    void WriteTexture(const std::string& relative, int size = 2) {
        m_dir.write(relative, SolidTga(size, size, 0xFF));
    }
    // The side of the texture bound for a draw; 0 for none.
    int SizeOfBound(const RecordedDraw& draw) const {
        const RecordedTexture* texture = m_device.FindTexture(draw.binding.texture);
        return texture ? texture->width : 0;
    }

    // Places the camera at eye looking at target, with world +Y up.
    void LookAt(const Vector3& eye, const Vector3& target) {
        const Vector3 back = (eye - target).Normalised();
        const Vector3 right = Vector3{0.0f, 1.0f, 0.0f}.Cross(back).Normalised();
        Matrix4 placement;
        placement.SetRow(0, right);
        placement.SetRow(1, back.Cross(right));
        placement.SetRow(2, back);
        placement.SetTranslation(eye);
        m_camera.SetViewMatrix(placement.Inverse());
        m_camera.UpdateMatrices();
    }

    // One drawing pass over every live instance, recorded from scratch.
    void Render() {
        m_device.ClearRecording();
        FXFrustum frustum;
        m_camera.BuildFrustum(frustum);
        Manager().Render(frustum, m_camera);
    }

private:
    TempWorkDir m_dir;
    RecordingRenderDevice m_device;
    ScopedRenderTable m_table;
    FXCamera m_camera;
};
