#pragma once

// The camera the render pass culls and fades against: view and projection state, the
// matrices derived from it, the eye position and the view volume.
//
// Conventions: the view matrix maps world points to camera space in the row-vector
// convention (p_camera = p_world × view); the camera looks along its −Z axis with +Y up,
// as OpenGL does. Angles are degrees, distances world units.

#include "math/Math.h"
#include "runtime/FXFrustum.h"

#include <cstdint>

// The part of the full picture a camera's projection covers, as fractions of its width
// (left to right) and height (bottom to top). The whole picture is (0, 1, 0, 1).
struct FXViewport {
    float left = 0.0f;
    float right = 1.0f;
    float bottom = 0.0f;
    float top = 1.0f;
    constexpr bool operator==(const FXViewport&) const = default;
};

class FXCamera {
public:
    FXCamera() = default;
    virtual ~FXCamera() = default;
    FXCamera(const FXCamera&) = default;
    FXCamera& operator=(const FXCamera&) = default;

    // Vertical field of view in degrees, 0 < degrees < 180.
    virtual void SetFieldOfView(float degrees) { m_fieldOfView = degrees; }
    // Projection distances; 0 < near < far.
    virtual void SetNearDistance(float distance) { m_nearDistance = distance; }
    virtual void SetFarDistance(float distance) { m_farDistance = distance; }
    // Width over height of the picture, > 0.
    virtual void SetAspectRatio(float aspect) { m_aspectRatio = aspect; }
    virtual float GetFieldOfView() const { return m_fieldOfView; }
    // Aspect ratio × vertical field of view, degrees: the runtime's measure of the
    // horizontal extent (an approximation that grows linearly with the aspect ratio).
    virtual float GetHorizontalFieldOfView() const { return m_aspectRatio * m_fieldOfView; }
    virtual float GetAspectRatio() const { return m_aspectRatio; }
    virtual float GetNearDistance() const { return m_nearDistance; }
    virtual float GetFarDistance() const { return m_farDistance; }
    // The part of the picture the projection covers (see FXViewport); an empty rectangle
    // makes UpdateMatrices use the whole picture.
    virtual void SetViewport(float left, float right, float bottom, float top) {
        m_viewport = {left, right, bottom, top};
    }
    virtual FXViewport GetViewport() const { return m_viewport; }
    // Where the camera is, in world space, as of the last UpdateMatrices.
    virtual Vector3 GetEyePosition() const { return m_eyePosition; }
    // The camera's axes in world space, read from the view matrix's columns.
    virtual Vector3 GetUpAxis() const { return m_view.Column(1); }
    virtual Vector3 GetRightAxis() const { return m_view.Column(0); }
    virtual Vector3 GetForwardAxis() const { return -m_view.Column(2); }
    // Recomputes the projection matrix from field of view, aspect ratio, near and far
    // distances and viewport, and the eye position from the view matrix.
    virtual void UpdateMatrices();

    // The view volume of the field of view and aspect ratio, placed with the view matrix
    // and the eye position of the last UpdateMatrices. Its side planes leave the eye at
    // half the field of view (vertically) and half the aspect ratio × field of view
    // (horizontally); the fifth plane passes through the eye facing backwards.
    void BuildFrustum(FXFrustum& out) const;

    const Matrix4& GetViewMatrix() const { return m_view; }
    // Replaces the view matrix; the next UpdateMatrices derives the eye position from it.
    void SetViewMatrix(const Matrix4& view) { m_view = view; }
    // Maps camera space to clip space (row-vector convention, OpenGL's clip volume).
    const Matrix4& GetProjectionMatrix() const { return m_projection; }
    // A view matrix supplied from outside, which an orbit camera can follow (its
    // translation is then ignored) while the external-view switch is on.
    void SetExternalViewMatrix(const Matrix4& view) { m_externalView = view; }
    const Matrix4& GetExternalViewMatrix() const { return m_externalView; }
    void SetExternalViewSwitch(int32_t on) { m_externalViewSwitch = on; }
    int32_t GetExternalViewSwitch() const { return m_externalViewSwitch; }

protected:
    Matrix4 m_view;
    Matrix4 m_projection;
    Matrix4 m_externalView;
    int32_t m_externalViewSwitch = 0;
    Vector3 m_eyePosition;
    FXViewport m_viewport;
    float m_fieldOfView = 70.0f;
    float m_aspectRatio = 1.0f;
    float m_nearDistance = 3.0f;
    float m_farDistance = 900000.0f;
};
