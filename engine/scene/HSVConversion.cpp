#include "scene/HSVConversion.h"

#include <algorithm>
#include <cmath>

namespace {

double Clamped(float x) {
    // NaN becomes 0: std::clamp would keep it.
    return x >= 0.0f ? std::min(static_cast<double>(x), 1.0) : 0.0;
}

} // namespace

namespace HSVConversion {

// Computed in double so that a round trip gives back the float it started from.
void RGBToHSV(float r, float g, float b, float& h, float& s, float& v) {
    const double red = Clamped(r);
    const double green = Clamped(g);
    const double blue = Clamped(b);
    const double high = std::max({red, green, blue});
    const double low = std::min({red, green, blue});
    const double range = high - low;
    v = static_cast<float>(high);
    if (range <= 0.0) {
        h = 0.0f;
        s = 0.0f;
        return;
    }
    s = static_cast<float>(range / high);
    double sector; // sixths of the circle
    if (high == red)
        sector = (green - blue) / range;
    else if (high == green)
        sector = 2.0 + (blue - red) / range;
    else
        sector = 4.0 + (red - green) / range;
    double hue = sector / 6.0;
    if (hue < 0.0)
        hue += 1.0;
    // A hue a rounding step below 1.0 is red, which is 0.0.
    const float rounded = static_cast<float>(hue);
    h = rounded >= 1.0f ? 0.0f : rounded;
}

void HSVToRGB(float h, float s, float v, float& r, float& g, float& b) {
    const double saturation = Clamped(s);
    const double value = Clamped(v);
    double hue = std::isfinite(h) ? static_cast<double>(h) : 0.0;
    hue -= std::floor(hue);
    const double sector = hue * 6.0;
    const double whole = std::floor(sector);
    const double fraction = sector - whole;
    const double p = value * (1.0 - saturation);
    const double q = value * (1.0 - saturation * fraction);
    const double t = value * (1.0 - saturation * (1.0 - fraction));
    // Components (red, green, blue) in each sixth of the circle.
    const double sixths[6][3] = {{value, t, p}, {q, value, p}, {p, value, t},
                                 {p, q, value}, {t, p, value}, {value, p, q}};
    const double(&colour)[3] = sixths[static_cast<int>(whole) % 6];
    r = static_cast<float>(colour[0]);
    g = static_cast<float>(colour[1]);
    b = static_cast<float>(colour[2]);
}

} // namespace HSVConversion
