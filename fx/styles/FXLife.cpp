#include "FXLife.h"

#include <algorithm>
#include <cmath>

FXLife FXAdvanceLife(float& age, float dt, float duration, bool loop, bool stopped) {
    if (stopped && loop)
        return FXLife::Stopped;
    if (!(duration > 0.0f))
        return FXLife::Over;
    age += dt;
    if (loop && age >= duration) {
        if (stopped)
            return FXLife::Stopped;
        age = FXWrapAge(age, duration);
    }
    return age >= duration ? FXLife::Over : FXLife::Running;
}

float FXWrapAge(float age, float duration) {
    // One subtraction per wrap, as a frame normally needs; after a long step of a short
    // loop the rest is taken in one go, where repeated subtraction could stall on
    // rounding.
    constexpr int kMaxWrapPasses = 64;
    for (int pass = 0; age >= duration; ++pass) {
        if (pass == kMaxWrapPasses)
            return std::min(std::fmod(age, duration), std::nextafter(duration, 0.0f));
        age -= duration;
    }
    return age;
}
