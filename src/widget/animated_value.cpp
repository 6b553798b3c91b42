#include "widget/animated_value.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double springCurve(qreal fraction) {
    return AnimatedValue::springProgress(fraction);
}

// There and back within one loop, easing in and out at both ends.
double thereAndBack(qreal fraction) {
    return (1.0 - std::cos(2.0 * std::numbers::pi * fraction)) / 2.0;
}

} // namespace

AnimatedValue::AnimatedValue(double initial, QObject* parent)
    : QObject(parent)
    , m_value(initial)
    , m_target(initial) {
    connect(&m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { set(value.toDouble()); });
    QEasingCurve curve;
    curve.setCustomType(&thereAndBack);
    m_oscillation.setEasingCurve(curve);
    m_oscillation.setLoopCount(0); // for ever
    connect(&m_oscillation, &QTimeLine::valueChanged, this, [this](qreal progress) {
        set(m_oscillationStart + (m_target - m_oscillationStart) * progress);
    });
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
    const bool oscillating = m_oscillation.state() == QTimeLine::Running;
    if (target == m_target && !oscillating)
        return;
    m_target = target;
    m_oscillation.stop();
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
    if (m_oscillation.state() == QTimeLine::Running) {
        m_oscillation.stop();
        m_target = m_oscillationStart;
        set(m_oscillationStart);
        return;
    }
    m_animation.stop();
    set(m_target);
}

void AnimatedValue::oscillateTo(double target, double halfPeriod, int framesPerSecond) {
    m_animation.stop();
    m_oscillation.stop();
    m_oscillationStart = m_value;
    m_target = target;
    m_oscillation.setDuration(int(2.0 * halfPeriod * 1000.0));
    m_oscillation.setUpdateInterval(1000 / std::max(framesPerSecond, 1));
    m_oscillation.setCurrentTime(0);
    m_oscillation.start();
}
