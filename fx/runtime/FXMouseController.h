#pragma once

// Turns pointer motion into orbit angles and distance, once per frame. The preview reads
// the motion and the buttons from its input source and hands them over as plain values,
// so the runtime needs no input interface of its own.

#include "runtime/FXOrbitState.h"

class FXMouseController {
public:
    // Stores the pointer motion since the last frame, in the input source's units.
    void SetMotion(float horizontal, float vertical) {
        m_horizontalMotion = horizontal;
        m_verticalMotion = vertical;
    }
    float GetHorizontalMotion() const { return m_horizontalMotion; }
    float GetVerticalMotion() const { return m_verticalMotion; }

    // Applies the pending motion to orbit when active: without zoom, yaw += 120 ×
    // horizontal and pitch += 120 × vertical degrees, and both increments are added to
    // accumulated; with zoom, distance −= 4 × vertical × distance (zoom proportional to
    // the distance; the orbit camera clamps the result to its limits). The pending motion
    // is then dropped, applied or not. The pitch ends within ±kFXPitchLimit and the yaw
    // within 0 to 360 (whole turns removed; exactly 360 stays). frameTime (seconds) is
    // not used: the rates are per unit of motion, not per second.
    void Step(FXOrbitState& orbit, float frameTime, bool zoom, bool active, float& accumulated);

private:
    float m_horizontalMotion = 0.0f;
    float m_verticalMotion = 0.0f;
    float m_zoomRate = 4.0f;       // distance fraction per unit of vertical motion
    float m_rotationRate = 120.0f; // degrees per unit of motion
};
