#pragma once

// The life of a timed instance (ring, beam, light): the opening every such Update shares.

// What an instance's life is after a step.
enum class FXLife {
    Running, // age below the duration
    Over,    // the duration reached (a non-looping life), or no duration at all
    Stopped, // a looping life that was stopped
};

// Advances age by dt seconds. A looping life that was stopped ends at once (age kept);
// otherwise age grows by dt and a looping life wraps below duration. A duration that is not
// above 0.0 (parameters refuse it; a type built otherwise must not spin in the wrap) is
// over at once.
FXLife FXAdvanceLife(float& age, float dt, float duration, bool loop, bool stopped);

// The age of a looping instance brought back below its duration (> 0) by taking the
// duration off as often as needed; an age already below it is returned as it is.
float FXWrapAge(float age, float duration);
