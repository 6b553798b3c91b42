#include "settings/layout_store.h"

#include <algorithm>
#include <cmath>

namespace {

bool within(double value, double low, double high) {
    return value >= low && value <= high;
}

double clampOrLow(double value, double low, double high) {
    if (std::isnan(value))
        return low;
    return std::clamp(value, low, high);
}

} // namespace

LayoutStore::LayoutStore(Settings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings) {
    // Stored values outside their range are replaced by the default, not clamped.
    const double storedScale = m_settings.widgetScale();
    setScale(within(storedScale, kMinScale, kMaxScale) ? storedScale : kDefaultScale);
    if (const std::optional<QPointF> stored = m_settings.timerPos())
        setTimerPos(*stored);
    const double storedSize = m_settings.timerFontSize();
    if (within(storedSize, kMinFontSize, kMaxFontSize))
        setTimerFontSize(storedSize);
    setHideCountUnlessHover(m_settings.hideCountUnlessHover());
}

LayoutStore& LayoutStore::shared() {
    static LayoutStore* store = new LayoutStore(Settings::shared());
    return *store;
}

void LayoutStore::setScale(double value) {
    const double accepted = clampOrLow(value, kMinScale, kMaxScale);
    const bool differs = accepted != m_scale;
    m_scale = accepted;
    m_settings.setWidgetScale(accepted);
    if (onScaleChange)
        onScaleChange(accepted);
    if (differs)
        emit scaleChanged();
}

void LayoutStore::setTimerPos(QPointF value) {
    const bool differs = value != m_timerPos;
    m_timerPos = value;
    m_settings.setTimerPos(value);
    if (differs)
        emit timerPosChanged();
}

void LayoutStore::setTimerFontSize(double value) {
    const double accepted = clampOrLow(value, kMinFontSize, kMaxFontSize);
    const bool differs = accepted != m_timerFontSize;
    m_timerFontSize = accepted;
    m_settings.setTimerFontSize(accepted);
    if (differs)
        emit timerFontSizeChanged();
}

void LayoutStore::setHideCountUnlessHover(bool value) {
    const bool differs = value != m_hideCountUnlessHover;
    m_hideCountUnlessHover = value;
    m_settings.setHideCountUnlessHover(value);
    if (differs)
        emit hideCountUnlessHoverChanged();
}
