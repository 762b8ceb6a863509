#include "runtime/FXOrbitCamera.h"

#include <cmath>

namespace {

float ClampDistance(float distance, float minimum, float maximum) {
    if (distance < minimum)
        distance = minimum;
    if (distance > maximum)
        distance = maximum;
    return distance;
}

} // namespace

void FXOrbitCamera::SetTarget(const Vector3& target) {
    m_orbit.target = target;
    m_orbit.clearedOnSet = 0;
}

void FXOrbitCamera::SetDistance(float distance) {
    m_orbit.distance = ClampDistance(distance, m_minDistance, m_maxDistance);
    m_orbit.clearedOnSet = 0;
}

void FXOrbitCamera::RotateMatrix(Matrix4& matrix, char axis, float degrees) {
    const float c = std::cos(degrees * kDegreesToRadians);
    const float s = std::sin(degrees * kDegreesToRadians);
    Matrix4 rotation;
    switch (axis) {
    case 'x':
        rotation = Matrix4{{{1, 0, 0, 0}, {0, c, -s, 0}, {0, s, c, 0}, {0, 0, 0, 1}}};
        break;
    case 'y':
        rotation = Matrix4{{{c, 0, s, 0}, {0, 1, 0, 0}, {-s, 0, c, 0}, {0, 0, 0, 1}}};
        break;
    case 'z':
        rotation = Matrix4{{{c, -s, 0, 0}, {s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
        break;
    default:
        return;
    }
    matrix = matrix * rotation;
}

void FXOrbitCamera::UpdateMatrices() {
    m_orbit.distance = ClampDistance(m_orbit.distance, m_minDistance, m_maxDistance);
    m_orbit.pitch = FXClampPitch(m_orbit.pitch);
    if (m_orbit.yaw < 0.0f)
        m_orbit.yaw += 360.0f;
    else if (m_orbit.yaw > 360.0f)
        m_orbit.yaw -= 360.0f;

    if (m_mode == 0) {
        if (m_externalViewSwitch == 0) {
            // World points move so the target sits at the origin, turn by the orbit's
            // angles, then move away along −Z so the camera looks at the target from
            // the orbit's distance.
            Matrix4 view;
            view.SetTranslation(-m_orbit.target);
            RotateMatrix(view, 'y', -m_orbit.yaw);
            RotateMatrix(view, 'x', m_orbit.pitch);
            RotateMatrix(view, 'z', m_orbit.roll);
            Matrix4 away;
            away.SetTranslation({0.0f, 0.0f, -m_orbit.distance});
            m_view = view * away;
        } else {
            m_view = m_externalView;
            m_view.SetTranslation({0.0f, 0.0f, 0.0f});
        }
    }
    FXCamera::UpdateMatrices();
}
