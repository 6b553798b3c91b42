#include "widget/animated_value.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double springCurve(qreal fraction) {
    return AnimatedValue::springProgress(fraction);
}

} // namespace

AnimatedValue::AnimatedValue(double initial, QObject* parent)
    : QObject(parent)
    , m_value(initial)
    , m_target(initial) {
    connect(&m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { set(value.toDouble()); });
    m_oscillationFrame.setSingleShot(true);
    m_oscillationFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_oscillationFrame, &QTimer::timeout, this, &AnimatedValue::showOscillationFrame);
}

double AnimatedValue::springProgress(double fraction) {
    // ω·t at the end of the run: 2π per response, 2.5 responses.
    constexpr double kEnd = 2.0 * std::numbers::pi * 2.5;
    const double wt = kEnd * std::clamp(fraction, 0.0, 1.0);
    const double end = 1.0 - (1.0 + kEnd) * std::exp(-kEnd);
    return (1.0 - (1.0 + wt) * std::exp(-wt)) / end;
}

void AnimatedValue::set(double value) {
    if (value == m_value)
        return;
    m_value = value;
    if (onChanged)
        onChanged();
}

void AnimatedValue::animateTo(double target, Motion motion) {
    const bool oscillating = m_oscillationFrame.isActive();
    if (target == m_target && !oscillating)
        return;
    m_target = target;
    stopOscillating();
    m_animation.stop();
    if (motion.kind == Motion::Kind::jump || motion.seconds <= 0.0) {
        set(target);
        return;
    }
    m_animation.setStartValue(m_value);
    m_animation.setEndValue(target);
    if (motion.kind == Motion::Kind::spring) {
        QEasingCurve curve;
        curve.setCustomType(&springCurve);
        m_animation.setEasingCurve(curve);
        m_animation.setDuration(int(springSeconds(motion.seconds) * 1000.0));
    } else {
        m_animation.setEasingCurve(QEasingCurve::InOutQuad);
        m_animation.setDuration(int(motion.seconds * 1000.0));
    }
    m_animation.start();
}

void AnimatedValue::finish() {
    if (m_oscillationFrame.isActive()) {
        stopOscillating();
        m_target = m_oscillationStart;
        set(m_oscillationStart);
        return;
    }
    m_animation.stop();
    set(m_target);
}

void AnimatedValue::oscillateTo(double target, double halfPeriod, int steps) {
    m_animation.stop();
    m_oscillationStart = m_value;
    m_target = target;
    m_oscillation.emplace(m_value, target, halfPeriod, steps);
    m_oscillationClock.start();
    showOscillationFrame();
}

void AnimatedValue::showOscillationFrame() {
    const double seconds = double(m_oscillationClock.nsecsElapsed()) / 1e9;
    set(m_oscillation->valueAt(seconds));
    // A millisecond late rather than early, so the frame shows the new level.
    const double wait = m_oscillation->secondsToNextChange(seconds);
    m_oscillationFrame.start(int(std::ceil(wait * 1000.0)) + 1);
}

void AnimatedValue::stopOscillating() {
    m_oscillationFrame.stop();
    m_oscillation.reset();
}
