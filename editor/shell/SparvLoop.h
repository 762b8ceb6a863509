#pragma once

// Looping effects as the time bar shows them. A looping spray or ring lives for ever (its
// duration is the largest float), repeating its emitter's or its own life; an effect that
// holds a looping effect (a combo, or a ring spawning one) lives for ever too. The bar
// then spans one loop: the period of the effect's own loop, or the longest period of the
// looping effects it holds.

#include "definitions/FXType.h"

#include <functional>
#include <string>

namespace SparvLoop {

// Durations from this on mean "for ever".
inline constexpr float kEndless = 1e30f;

// Finds a type by name (any case); null when there is none.
using TypeFinder = std::function<const FXType*(const std::string& name)>;

// Seconds of one loop of type; 0 when it does not loop, or loops with no period to show
// (no looping effect found within a few levels of nesting).
float Period(const FXType& type, const TypeFinder& find);

} // namespace SparvLoop
