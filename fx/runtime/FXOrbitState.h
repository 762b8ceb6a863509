#pragma once

// The orbit of a camera about a target, in degrees: the block the orbit camera builds its
// view from and the mouse controller turns and zooms.

#include "math/Math.h"

#include <algorithm>
#include <cstdint>

// The pitch is held within ± this many degrees, short of straight up or down, where the
// view's orientation would flip.
inline constexpr float kFXPitchLimit = 89.9427f;

struct FXOrbitState {
    Vector3 target;           // the point looked at
    float yaw = 0.0f;         // degrees about the world Y axis
    float pitch = 0.0f;       // degrees; negative looks down on the target from above
    float roll = 0.0f;        // degrees about the line of sight
    float distance = 1.0f;    // from the target; the orbit camera clamps it to its limits
    uint8_t clearedOnSet = 0; // cleared whenever the target or the distance is set; unread
    uint8_t reserved = 1;     // initially 1; nothing in the runtime reads it
};

inline float FXClampPitch(float degrees) {
    return std::clamp(degrees, -kFXPitchLimit, kFXPitchLimit);
}
