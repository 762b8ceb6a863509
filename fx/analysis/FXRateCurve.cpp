#include "FXRateCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// What a looping spray adds to its age at each wrap.
constexpr double kWrapOffset = 0.00001;

} // namespace

FXRateCurve::FXRateCurve(std::vector<TimeFloat> keys, double duration, bool loop, double drift)
    : m_keys(std::move(keys)), m_duration(duration), m_loop(loop), m_drift(drift) {
    double low = kInfinity;
    double high = 0.0;
    OverTimes(0.0, 1.0, low, high);
    m_highest = high;
}

bool FXRateCurve::Range(double a, double b, double& low, double& high) const {
    low = kInfinity;
    high = -kInfinity;
    if (!(m_duration > 0.0)) {
        // The normalised time is at its end from the first update on.
        return OverTimes(1.0, 1.0, low, high);
    }
    if (!m_loop) {
        const double t0 =
            std::min(std::max(a * (1.0 - m_drift) - kWrapOffset, 0.0) / m_duration, 1.0);
        const double t1 = std::min((b * (1.0 + m_drift) + kWrapOffset) / m_duration, 1.0);
        return OverTimes(t0, t1, low, high);
    }
    if (!(m_duration > kWrapOffset)) {
        // A wrap cannot bring the age below so short a duration: after the first update
        // that reaches it the emitter stays at its end.
        return OverTimes(a < m_duration + kWrapOffset ? 0.0 : 1.0, 1.0, low, high);
    }
    // The age runs with the clock through the first period, then restarts every
    // duration - offset seconds at the offset.
    const double period = m_duration - kWrapOffset;
    const double slack = m_drift * (b - a + m_duration) + 2.0 * kWrapOffset;
    const double from = std::max(a - slack, 0.0);
    const double to = b + slack;
    if (to - from >= period)
        return OverTimes(0.0, 1.0, low, high);
    auto periodOf = [&](double clock) {
        return clock < m_duration ? 0.0 : 1.0 + std::floor((clock - m_duration) / period);
    };
    auto ageOf = [&](double clock) {
        return clock < m_duration ? clock : kWrapOffset + std::fmod(clock - m_duration, period);
    };
    const double ageFrom = ageOf(from);
    const double ageTo = ageOf(to);
    if (periodOf(from) == periodOf(to))
        return OverTimes(ageFrom / m_duration, ageTo / m_duration, low, high);
    const bool before = OverTimes(ageFrom / m_duration, 1.0, low, high);
    return OverTimes(0.0, ageTo / m_duration, low, high) && before;
}

// The curve is linear between neighbouring key times (whatever the keys' order, every
// time between two of them finds the same segment), so its extremes over [t0, t1] lie at
// the ends or at a key time, approached from either side.
bool FXRateCurve::OverTimes(double t0, double t1, double& low, double& high) const {
    bool numbers = true;
    auto at = [&](float t) {
        const double value = EvaluateTimeFloat(m_keys, t);
        numbers = numbers && !std::isnan(value);
        if (!std::isnan(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    };
    at(static_cast<float>(t0));
    at(static_cast<float>(t1));
    for (const TimeFloat& key : m_keys) {
        if (!(key.time >= t0 && key.time <= t1))
            continue;
        at(key.time);
        at(std::nextafter(key.time, -std::numeric_limits<float>::infinity()));
        at(std::nextafter(key.time, std::numeric_limits<float>::infinity()));
    }
    return numbers;
}
