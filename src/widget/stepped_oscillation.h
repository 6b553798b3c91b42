#pragma once

#include <vector>

// An ease-in-out there and back, for ever (from → to → from, each way in half a period),
// drawn in frames only where a frame shows something new: the value is held at one of
// `steps` + 1 evenly spaced levels, and the next frame is due when the eased curve crosses the
// midpoint to the next level. The frames come close together where the curve moves fast and
// far apart where it turns, 2 × `steps` a period, instead of a fixed rate that draws the same
// level again and again near the turns.
class SteppedOscillation {
public:
    SteppedOscillation(double from, double to, double halfPeriodSeconds, int steps);

    // The level shown at `seconds` into the oscillation.
    double valueAt(double seconds) const;
    // How long from `seconds` until the level shown next changes.
    double secondsToNextChange(double seconds) const;

    double period() const { return m_period; }
    int framesPerPeriod() const { return int(m_crossings.size()); }

private:
    double phase(double seconds) const; // 0 ≤ phase < 1 within the period

    double m_from;
    double m_to;
    double m_period;
    int m_steps;
    std::vector<double> m_crossings; // phases where the level changes, ascending
};
