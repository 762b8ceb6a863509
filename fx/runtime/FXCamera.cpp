#include "runtime/FXCamera.h"

#include <cmath>

void FXCamera::UpdateMatrices() {
    // The whole picture at the near distance spans ±halfWidth by ±halfHeight; the
    // viewport cuts the part this camera covers out of it, which gives an off-centre
    // projection for anything but the whole picture.
    const float halfHeight = m_nearDistance * std::tan(m_fieldOfView * kDegreesToRadians * 0.5f);
    const float halfWidth = halfHeight * m_aspectRatio;
    float left = -halfWidth + 2.0f * halfWidth * m_viewport.left;
    float right = -halfWidth + 2.0f * halfWidth * m_viewport.right;
    float bottom = -halfHeight + 2.0f * halfHeight * m_viewport.bottom;
    float top = -halfHeight + 2.0f * halfHeight * m_viewport.top;
    if (right == left || top == bottom) {
        left = -halfWidth;
        right = halfWidth;
        bottom = -halfHeight;
        top = halfHeight;
    }
    const float n = m_nearDistance;
    const float f = m_farDistance;
    // OpenGL's frustum matrix, transposed for row vectors.
    m_projection = Matrix4{{{2.0f * n / (right - left), 0.0f, 0.0f, 0.0f},
                            {0.0f, 2.0f * n / (top - bottom), 0.0f, 0.0f},
                            {(right + left) / (right - left), (top + bottom) / (top - bottom),
                             -(f + n) / (f - n), -1.0f},
                            {0.0f, 0.0f, -2.0f * f * n / (f - n), 0.0f}}};

    m_eyePosition = m_view.Inverse().Translation();
}

void FXCamera::BuildFrustum(FXFrustum& out) const {
    const float h = GetFieldOfView() * kDegreesToRadians * 0.5f;
    const float w = GetFieldOfView() * kDegreesToRadians * GetAspectRatio() * 0.5f;
    // Outward normals in camera coordinates (x right, y up, z forward).
    const Vector3 local[FX_FRUSTUM_PLANE_COUNT] = {
        {0.0f, std::cos(h), -std::sin(h)},
        {-std::cos(w), 0.0f, -std::sin(w)},
        {0.0f, -std::cos(h), -std::sin(h)},
        {std::cos(w), 0.0f, -std::sin(w)},
        {0.0f, 0.0f, -1.0f},
    };
    const Vector3 right = GetRightAxis();
    const Vector3 up = GetUpAxis();
    const Vector3 forward = GetForwardAxis();
    const Vector3 eye = GetEyePosition();
    for (int i = 0; i < FX_FRUSTUM_PLANE_COUNT; ++i) {
        const Vector3 normal = right * local[i].x + up * local[i].y + forward * local[i].z;
        out.planes[i] = {normal, normal.Dot(eye)};
    }
    out.eyePosition = eye;
}
