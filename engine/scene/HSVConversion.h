#pragma once

// Conversions between red, green, blue and hue, saturation, value, as the colour picker
// uses them. Every component is 0.0 to 1.0, hue included: hue 0.0 to 1.0 goes once round
// the colour circle (0.0 red, 1/3 green, 2/3 blue), so the picker shows it as hue × 360
// degrees.
namespace HSVConversion {

// Hue, saturation and value of a colour. Greys (r = g = b), black included, have hue 0.0
// and saturation 0.0. Components outside 0.0 to 1.0 are clamped first.
void RGBToHSV(float r, float g, float b, float& h, float& s, float& v);

// The colour of a hue, saturation and value. Hue wraps (1.0 is red again, like 0.0);
// saturation and value are clamped into 0.0 to 1.0.
void HSVToRGB(float h, float s, float v, float& r, float& g, float& b);

} // namespace HSVConversion
