#include "FXEmission.h"

#include <algorithm>

FXEmission::FXEmission(const std::vector<double>& upperMass, const std::vector<double>& lowerMass) {
    m_upper.assign(1, 0.0);
    m_lower.assign(1, 0.0);
    for (const double mass : upperMass)
        m_upper.push_back(m_upper.back() + mass);
    for (const double mass : lowerMass) {
        m_lower.push_back(m_lower.back() + mass);
        m_negative = m_negative || mass < 0.0;
    }
}

double FXEmission::Upper(long edge) const {
    if (edge <= 0)
        return 0.0;
    return m_upper[std::min(static_cast<size_t>(edge), m_upper.size() - 1)];
}

double FXEmission::Lower(long edge) const {
    if (edge <= 0)
        return 0.0;
    return m_lower[std::min(static_cast<size_t>(edge), m_lower.size() - 1)];
}

// With N(x) the particles born at or before x and P the particle bound, the particles'
// occupancy at t is the sum over particles of P(t - birth). P is constant over each bin,
// so writing it as a sum of its steps dP[m] (from bin m on) turns that into
// sum over m of dP[m] N(t - m w): every particle older than m w adds the step. Rising
// steps take N's upper bound, falling steps its lower bound, each off by less than one
// particle (two when the rate can go negative, as the carried fraction then can). For a
// particle bound that returns to 0 the steps add up to 0, so N may be counted from a
// baseline just before the oldest particle still alive: only the rate over the particles'
// lifetime matters, not the emitter's whole history.
FXOccupancy FXEmission::Spread(const FXOccupancy& particle, size_t bins) const {
    struct Step {
        long bin;
        double rise;
    };
    std::vector<Step> steps;
    const size_t support = particle.Size();
    double previous = 0.0;
    for (size_t m = 0; m <= support; ++m) {
        const double value = particle.At(m);
        if (value != previous)
            steps.push_back({static_cast<long>(m), value - previous});
        previous = value;
    }
    const double slack = m_negative ? 2.0 : 1.0;
    const bool endless = particle.Tail() != 0.0;

    FXOccupancy spread(bins, 0.0, 0.0);
    std::vector<double>& out = spread.Bins();
    for (size_t j = 0; j < bins; ++j) {
        const long jl = static_cast<long>(j);
        const long base = endless ? -1 : jl - static_cast<long>(support) - 1;
        double value = 0.0;
        for (const Step& step : steps) {
            // Particles older than step.bin bins at a moment of bin j were born before
            // edge j - step.bin + 1; none were born before edge 0.
            if (jl - step.bin + 1 <= 0)
                continue;
            if (step.rise > 0.0)
                value += step.rise * (Upper(jl - step.bin + 1) - Upper(base) + slack);
            else
                value += step.rise * (Lower(jl - step.bin) - Lower(base) - slack);
        }
        out[j] = std::max(value, 0.0);
    }
    return spread;
}
