#pragma once

// Random draws of the FX runtime, all from the engine's seedable 15-bit generator.

#include "math/Random.h"

// A value from 0.0 to 1.0 inclusive: the generator's next number times 1/32767.
inline float RandomUnit() {
    return static_cast<float>(RandomNext()) * 3.0518509e-05f;
}
