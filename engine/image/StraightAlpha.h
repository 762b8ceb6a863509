#pragma once

// Pictures with a transparent background, from a frame drawn over an opaque one.
//
// The GL device's coverage alpha (GLRenderDeviceOptions::coverageAlpha) draws colour
// exactly as over the background, and keeps in alpha how much each pixel hides the
// background (alpha-blended and opaque draws cover it; additive and multiplied light
// leaves it, since in the picture it is still there to add to or darken). Such a frame,
// with the background colour it was cleared to, becomes a picture with straight
// (unpremultiplied) alpha that, laid over the same background, gives back the frame:
//
//   alpha  = at least the coverage, raised where the colour's change from the background
//            needs more (light added to the background, or taken away)
//   colour = (frame - background x (1 - alpha)) / alpha
//
// Over the same background the result matches the frame to within one step of 255 per
// channel, whatever the blend modes; over another background, covered parts show as
// drawn and added or multiplied light as a glow or a shade of the same strength.

#include "math/Math.h"

#include <cstddef>
#include <cstdint>

// Converts pixels (RGBA bytes, any row order) in place. background: the colour the frame
// was cleared to (alpha ignored).
void CoverageToStraightAlpha(uint8_t* rgba, size_t pixels, const Colour& background);

// Lays straight-alpha pixels over an opaque background in place (alpha becomes 255), as a
// viewer or a game shows them: colour x alpha + background x (1 - alpha).
void CompositeOverBackground(uint8_t* rgba, size_t pixels, const Colour& background);
