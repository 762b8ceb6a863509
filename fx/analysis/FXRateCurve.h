#pragma once

// A spray's emission rate over its clock (seconds since its birth), as the emitter
// evaluates it: the time-keyed rate at the normalised emitter time of its age, the age
// wrapping while it loops (each wrap takes off the duration and adds a hundred-thousandth
// of a second). Ages are sums of float steps and drift from the clock by up to a small
// fraction, which widens every range asked for.

#include "definitions/FXVariable.h"

#include <vector>

class FXRateCurve {
public:
    // keys: Emitter_Rate; duration: Emitter_Duration in seconds; drift: the fraction by
    // which the age may run ahead of or behind the clock.
    FXRateCurve(std::vector<TimeFloat> keys, double duration, bool loop, double drift);

    // The greatest rate anywhere in the emitter's life (at least 0).
    double Highest() const { return m_highest; }

    // The least and greatest rate applied at clock moments in [a, b], a <= b. False when
    // some moment's rate is no number, which stops the emitter for good (its carried
    // fraction becomes no number too).
    bool Range(double a, double b, double& low, double& high) const;

private:
    // Widens low and high by the curve's values over normalised times [t0, t1]; false
    // when one is no number.
    bool OverTimes(double t0, double t1, double& low, double& high) const;

    std::vector<TimeFloat> m_keys;
    double m_duration;
    bool m_loop;
    double m_drift;
    double m_highest = 0.0;
};
