#pragma once

// What an emitter can have created by each moment, and the occupancy of everything it
// creates.
//
// The emitter's life is cut into bins of the occupancy's width w. For each bin the owner
// gives an upper and a lower bound on the particles the emission rate accounts for in
// it: the integral, over the bin, of the rate the emitter applies to the step that
// covers each moment. The lower bound may be negative (a rate curve extrapolated below
// zero holds back later particles). Whatever the steps, the particles actually created
// with a birth moment up to x then differ from that integral up to x by less than one
// (the fraction carried from frame to frame), which Spread relies on.

#include "FXOccupancy.h"

#include <vector>

class FXEmission {
public:
    // upperMass[i] and lowerMass[i] bound the rate's integral over bin i; past the last
    // bin nothing is emitted.
    FXEmission(const std::vector<double>& upperMass, const std::vector<double>& lowerMass);

    // The occupancy of all particles together, over bins bins, when the occupancy of each
    // particle's own subtree, measured from its birth, is bounded by particle. The tail
    // of the result is left 0 for the caller to set.
    FXOccupancy Spread(const FXOccupancy& particle, size_t bins) const;

private:
    // The bounds of the integral from moment 0 to bin edge i (0 at and before edge 0).
    double Upper(long edge) const;
    double Lower(long edge) const;

    std::vector<double> m_upper; // cumulative, at edges 0 .. n
    std::vector<double> m_lower;
    bool m_negative = false; // some lower bound is below zero
};
