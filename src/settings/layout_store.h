#pragma once

#include "settings/settings.h"

#include <QObject>
#include <QPointF>

#include <functional>

// The values the user shapes the widget with: its scale, where the time text sits, how large
// the text is, and whether the time shows only on hover. Ranges are enforced here; every
// accepted value is forwarded to the settings, which persist it.
class LayoutStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(double scale READ scale WRITE setScale NOTIFY scaleChanged)
    Q_PROPERTY(QPointF timerPos READ timerPos WRITE setTimerPos NOTIFY timerPosChanged)
    Q_PROPERTY(
        double timerFontSize READ timerFontSize WRITE setTimerFontSize NOTIFY timerFontSizeChanged)
    Q_PROPERTY(bool hideCountUnlessHover READ hideCountUnlessHover WRITE setHideCountUnlessHover
                   NOTIFY hideCountUnlessHoverChanged)

public:
    static constexpr double kMinScale = 0.6;
    static constexpr double kMaxScale = 3.0;
    static constexpr double kDefaultScale = 1.0;
    static constexpr double kMinFontSize = 12.0;
    static constexpr double kMaxFontSize = 90.0;
    static constexpr double kDefaultFontSize = 30.0;
    static constexpr QPointF kDefaultTimerPos{0.5, 0.88};

    explicit LayoutStore(Settings& settings, QObject* parent = nullptr);

    static LayoutStore& shared();

    double scale() const { return m_scale; }
    // Clamped to [0.6, 3.0]; NaN gives 0.6. Every accepted scale is persisted and reported
    // through onScaleChange once.
    void setScale(double value);

    // Centre of the time text as fractions of the widget's unscaled size; any point is kept.
    QPointF timerPos() const { return m_timerPos; }
    void setTimerPos(QPointF value);

    double timerFontSize() const { return m_timerFontSize; }
    // Clamped to [12, 90]; NaN gives 12.
    void setTimerFontSize(double value);

    bool hideCountUnlessHover() const { return m_hideCountUnlessHover; }
    void setHideCountUnlessHover(bool value);

    // Called with every accepted scale; the panel resizes the window through it.
    std::function<void(double)> onScaleChange;

signals:
    void scaleChanged();
    void timerPosChanged();
    void timerFontSizeChanged();
    void hideCountUnlessHoverChanged();

private:
    Settings& m_settings;
    double m_scale = kDefaultScale;
    QPointF m_timerPos = kDefaultTimerPos;
    double m_timerFontSize = kDefaultFontSize;
    bool m_hideCountUnlessHover = false;
};
