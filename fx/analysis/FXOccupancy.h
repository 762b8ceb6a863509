#pragma once

// An upper bound of how many instances are alive over time, measured from a moment 0
// (the birth of the instance whose subtree is counted), in bins of one width that the
// owner keeps: bin i bounds every moment of [i w, (i + 1) w), the tail every moment from
// Size() w on. Bounds are real numbers (a rate times a time is rarely whole); a count
// below a bound b is at most floor(b).

#include <cstddef>
#include <vector>

class FXOccupancy {
public:
    FXOccupancy() = default;
    // bins bins of value, then tail for ever.
    FXOccupancy(size_t bins, double value, double tail);

    size_t Size() const { return m_bins.size(); }
    double At(size_t bin) const { return bin < m_bins.size() ? m_bins[bin] : m_tail; }
    double Tail() const { return m_tail; }
    void SetTail(double tail) { m_tail = tail; }
    std::vector<double>& Bins() { return m_bins; }
    const std::vector<double>& Bins() const { return m_bins; }

    // The largest bound at any moment.
    double Peak() const;
    // Adds factor times other, bin by bin (the bound of both populations together).
    void Add(const FXOccupancy& other, double factor = 1.0);
    // The bound of the same population when it starts between first and first + spread
    // bins later than moment 0: each bin takes the largest of the bins it may have come
    // from, and nothing precedes the start.
    FXOccupancy Delayed(size_t first, size_t spread) const;

private:
    std::vector<double> m_bins;
    double m_tail = 0.0;
};
