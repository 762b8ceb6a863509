#include "FXOccupancy.h"

#include <algorithm>
#include <deque>

FXOccupancy::FXOccupancy(size_t bins, double value, double tail)
    : m_bins(bins, value), m_tail(tail) {}

double FXOccupancy::Peak() const {
    double peak = m_tail;
    for (const double value : m_bins)
        peak = std::max(peak, value);
    return peak;
}

void FXOccupancy::Add(const FXOccupancy& other, double factor) {
    if (other.m_bins.size() > m_bins.size())
        m_bins.resize(other.m_bins.size(), m_tail);
    for (size_t i = 0; i < m_bins.size(); ++i)
        m_bins[i] += factor * other.At(i);
    m_tail += factor * other.m_tail;
}

FXOccupancy FXOccupancy::Delayed(size_t first, size_t spread) const {
    FXOccupancy delayed;
    delayed.m_tail = m_tail;
    delayed.m_bins.resize(m_bins.size() + first + spread);
    // Bin j takes the largest source bin among j - first - spread .. j - first; a
    // monotonic queue of candidate indices keeps that a single pass.
    std::deque<size_t> window;
    auto source = [this](long index) { return index < 0 ? 0.0 : At(static_cast<size_t>(index)); };
    for (size_t j = 0; j < delayed.m_bins.size(); ++j) {
        const long newest = static_cast<long>(j) - static_cast<long>(first);
        const long oldest = newest - static_cast<long>(spread);
        if (newest >= 0) {
            while (!window.empty() && source(static_cast<long>(window.back())) <= source(newest))
                window.pop_back();
            window.push_back(static_cast<size_t>(newest));
        }
        while (!window.empty() && static_cast<long>(window.front()) < oldest)
            window.pop_front();
        delayed.m_bins[j] = window.empty() ? 0.0 : source(static_cast<long>(window.front()));
    }
    return delayed;
}
