#pragma once

// A scene for the drawing styles' tests: a fresh working directory to write textures
// into, a running FX manager with a seeded generator, a recording render device made
// current and a camera placed by eye and target. Render runs the manager's whole drawing
// pass (culling, batching, each type's BeginBatch, Render and EndBatch) through it.

#include "math/Random.h"
#include "runtime/FXCamera.h"
#include "runtime/FXManager.h"
#include "scene/RecordingRenderDevice.h"
#include "support/TempWorkDir.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <type_traits>
#include <vector>

inline void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Sets a plain property (float, int, bool, Colour or string); the value must be taken.
template <typename T>
void SetProperty(FXType& type, const char* name, const T& value) {
    FXVariable variable;
    if constexpr (std::is_same_v<T, float>)
        variable.SetFloat(value);
    else if constexpr (std::is_same_v<T, int>)
        variable.SetInt(value);
    else if constexpr (std::is_same_v<T, bool>)
        variable.SetBool(value);
    else if constexpr (std::is_same_v<T, Colour>)
        variable.SetColour(value);
    else
        variable.SetString(value);
    EXPECT_TRUE(type.SetProperty(name, variable)) << name;
}

// Sets a time-keyed property to a constant (float, Vector3 or Colour).
template <typename T>
void SetConstantCurve(FXType& type, const char* name, const T& value) {
    FXVariable variable;
    if constexpr (std::is_same_v<T, float>)
        variable.SetArrayTimeFloat(std::vector<TimeFloat>{{0.0f, value}, {1.0f, value}});
    else if constexpr (std::is_same_v<T, Vector3>)
        variable.SetArrayTimeVector3(std::vector<TimeVector3>{{0.0f, value}, {1.0f, value}});
    else
        variable.SetArrayTimeColour(std::vector<TimeColour>{{0.0f, value}, {1.0f, value}});
    EXPECT_TRUE(type.SetProperty(name, variable)) << name;
}

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
        std::string file(18, '\0');
        file[2] = 2; // true colour, uncompressed
        file[12] = file[14] = static_cast<char>(size);
        file[16] = 32;
        file[17] = 0x28; // 8 alpha bits, top row first
        file.append(static_cast<size_t>(size * size * 4), static_cast<char>(0xFF));
        m_dir.write(relative, file);
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
