#pragma once

#include "widget/stepped_oscillation.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVariantAnimation>

#include <functional>
#include <optional>

// A number that moves to new targets with one of the widget's motions and asks for a redraw
// on every step: a critically damped spring, an ease-in-out over a duration, or a jump.
class AnimatedValue : public QObject {
    Q_OBJECT

public:
    struct Motion {
        enum class Kind { jump, spring, easeInOut } kind = Kind::jump;
        double seconds = 0.0; // the spring's response, or the ease's duration
        static Motion jump() { return {}; }
        static Motion spring(double response) { return {Kind::spring, response}; }
        static Motion easeInOut(double duration) { return {Kind::easeInOut, duration}; }
    };

    explicit AnimatedValue(double initial, QObject* parent = nullptr);

    double value() const { return m_value; }
    double target() const { return m_target; }
    bool isAnimating() const {
        return m_animation.state() == QVariantAnimation::Running || m_oscillationFrame.isActive();
    }

    // Moves towards the target from wherever the value is now; the same target again changes
    // nothing.
    void animateTo(double target, Motion motion);
    // Ends any motion at its target at once (an oscillation stops where it started).
    void finish();
    // Repeats an ease-in-out between the current value and the target, back and forth, until
    // the next animateTo, in `steps` levels each way (see SteppedOscillation): an oscillation
    // may run for hours, and a frame for every refresh of the screen would wake the program
    // and the X server many times for levels the eye cannot tell apart.
    void oscillateTo(double target, double halfPeriod, int steps);

    // Called with every new value; the view redraws through it.
    std::function<void()> onChanged;

    // The critically damped spring's progress at a fraction of its settling time, exactly 0
    // at 0 and 1 at 1: x(t) = 1 − (1 + ωt)·e^(−ωt), run for 2.5 responses.
    static double springProgress(double fraction);
    // How long a spring of that response runs before it has settled.
    static double springSeconds(double response) { return 2.5 * response; }

private:
    void set(double value);
    void stopOscillating();
    void showOscillationFrame();

    double m_value;
    double m_target;
    QVariantAnimation m_animation;
    std::optional<SteppedOscillation> m_oscillation;
    QElapsedTimer m_oscillationClock;
    QTimer m_oscillationFrame; // due when the next level shows
    double m_oscillationStart = 0.0;
};
