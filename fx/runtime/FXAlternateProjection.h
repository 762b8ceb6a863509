#pragma once

// The alternate projection: the one effects drawn onto the background use instead of the
// view's projection (rings with AlternateFOV), typically a wider or farther one so that
// they sit behind the scene. Whoever owns the view sets it; until then there is none and
// those effects draw with the current projection.

#include "math/Math.h"

// Stores the alternate projection (camera space to clip space, row-vector convention).
void FXSetAlternateProjection(const Matrix4& projection);
// Forgets it.
void FXClearAlternateProjection();
// The alternate projection, or null while none is set. Valid until the next set or clear.
const Matrix4* FXGetAlternateProjection();
