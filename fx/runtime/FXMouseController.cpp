#include "runtime/FXMouseController.h"

#include <cmath>

void FXMouseController::Step(FXOrbitState& orbit, float /*frameTime*/, bool zoom, bool active,
                             float& accumulated) {
    orbit.pitch = FXClampPitch(orbit.pitch);
    if (active && (m_horizontalMotion != 0.0f || m_verticalMotion != 0.0f)) {
        if (zoom) {
            orbit.distance -= m_zoomRate * m_verticalMotion * orbit.distance;
        } else {
            const float yawIncrement = m_rotationRate * m_horizontalMotion;
            const float pitchIncrement = m_rotationRate * m_verticalMotion;
            orbit.yaw += yawIncrement;
            orbit.pitch += pitchIncrement;
            accumulated += yawIncrement + pitchIncrement;
        }
    }
    // Motion belongs to one frame: left over, it would jump the camera when the orbit
    // becomes active again.
    m_horizontalMotion = 0.0f;
    m_verticalMotion = 0.0f;

    orbit.pitch = FXClampPitch(orbit.pitch);
    if (orbit.yaw < 0.0f)
        orbit.yaw += 360.0f + 360.0f * std::trunc(-orbit.yaw / 360.0f);
    else if (orbit.yaw > 360.0f)
        orbit.yaw -= 360.0f * std::trunc(orbit.yaw / 360.0f);
}
