#include "widget/stepped_oscillation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// There and back within one period, easing in and out at both ends: 0 → 1 → 0.
double thereAndBack(double phase) {
    return (1.0 - std::cos(2.0 * std::numbers::pi * phase)) / 2.0;
}

} // namespace

SteppedOscillation::SteppedOscillation(double from, double to, double halfPeriodSeconds, int steps)
    : m_from(from)
    , m_to(to)
    , m_period(2.0 * std::max(halfPeriodSeconds, 0.001))
    , m_steps(std::max(steps, 1)) {
    // The curve passes the midpoint between levels j − 1 and j on the way there at the phase
    // that inverts it, and on the way back at the mirror image of that phase.
    for (int j = 1; j <= m_steps; ++j) {
        const double midpoint = (j - 0.5) / m_steps;
        const double there = std::acos(1.0 - 2.0 * midpoint) / (2.0 * std::numbers::pi);
        m_crossings.push_back(there);
        m_crossings.push_back(1.0 - there);
    }
    std::sort(m_crossings.begin(), m_crossings.end());
}

double SteppedOscillation::phase(double seconds) const {
    const double cycles = std::max(seconds, 0.0) / m_period;
    return cycles - std::floor(cycles);
}

double SteppedOscillation::valueAt(double seconds) const {
    const double level = std::round(thereAndBack(phase(seconds)) * m_steps) / m_steps;
    return m_from + (m_to - m_from) * level;
}

double SteppedOscillation::secondsToNextChange(double seconds) const {
    const double now = phase(seconds);
    const auto next = std::upper_bound(m_crossings.begin(), m_crossings.end(), now);
    const double at = next != m_crossings.end() ? *next : 1.0 + m_crossings.front();
    return (at - now) * m_period;
}
