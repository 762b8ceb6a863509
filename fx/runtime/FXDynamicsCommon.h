#pragma once

// Pieces shared by the dynamics kinds: the "FXDynamics" pool their objects live in, and
// the damping factor of the moving kinds.

#include "pool/MemPoolSmall.h"

#include <algorithm>
#include <utility>

// The pool every dynamics object (presets and clones) comes from, sized for the largest
// kind. It outlives the manager; once the manager has shut down it holds no live
// objects.
MemPoolSmall& FXDynamicsPool();

// Constructs a dynamics object in the pool; release it with FXDynamicsDelete. Null when
// the heap is exhausted.
template <class Kind, class... Args>
Kind* FXDynamicsNew(Args&&... args) {
    return FXDynamicsPool().New<Kind>(std::forward<Args>(args)...);
}

// The factor a velocity is multiplied by over a step of dt seconds with damping D:
// c = dt x 10 clamped to 0..1, k = 1 - c x (1 - D), never below 0. D = 1 keeps the
// velocity, D = 0 removes it within a tenth of a second, D > 1 speeds it up.
inline float FXDampingFactor(float dt, float damping) {
    const float c = std::clamp(dt * 10.0f, 0.0f, 1.0f);
    return std::max(1.0f - c * (1.0f - damping), 0.0f);
}
