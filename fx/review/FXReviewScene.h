#pragma once

// Everything besides the effect that decides what the preview shows: the random seed,
// the orbit camera, the background, the grids, the world's gravity and wind and where
// the effect is placed. The editor's preview, sparv-fx and review snapshots describe a
// frame with it, so a frame rendered from the same scene and time is the same picture.
// Defaults are those of a new editor window.

#include "math/Math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

struct FXReviewCamera {
    float yaw = 0.0f;       // degrees
    float pitch = -45.0f;   // degrees, negative looks down
    float distance = 20.0f; // from the target
    Vector3 target{0.0f, 0.0f, 0.0f};
    bool operator==(const FXReviewCamera&) const = default;
};

// The top-level instance's placement, as the emitter dialog sets it.
struct FXEmitterPlacement {
    Matrix4 transform; // identity by default
    float scale = 1.0f;
    float length = 1.0f;
    Vector3 velocity{0.0f, 0.0f, 0.0f};
    bool operator==(const FXEmitterPlacement&) const = default;
};

struct FXReviewScene {
    uint32_t seed = 0; // the random generator is seeded with it when the effect starts
    FXReviewCamera camera;
    Colour background{0.25f, 0.25f, 0.25f, 1.0f}; // alpha ignored
    bool gridXZ = true;
    bool gridXY = false;
    Vector3 gravity{0.0f, -58.86f, 0.0f};
    Vector3 wind{0.0f, 0.0f, 0.0f};
    FXEmitterPlacement placement;
    // Every field the same: the same frame for the same effect and time.
    bool operator==(const FXReviewScene&) const = default;
};

// Told after each step of a long job (done of total); answering false cancels the job,
// which then leaves nothing behind.
using FXReviewProgress = std::function<bool(int done, int total)>;

// How a long job ended.
enum class FXReviewOutcome { Done, Cancelled, Failed };

// The longest step by which a review picture's time advances: longer times are cut into
// equal steps no longer than this, as the editor's main loop cuts its frames. Rebuilding
// a moment from time 0 this way gives the same picture every time.
inline constexpr double kFXReviewMaxStep = 0.05;

// How many equal steps reach a moment seconds after time 0 (at least one: time 0 itself
// is one step of 0).
inline long FXReviewStepCount(double seconds) {
    return std::max(1L, static_cast<long>(std::ceil(seconds / kFXReviewMaxStep - 1e-9)));
}
