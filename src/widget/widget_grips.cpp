#include "widget/widget_grips.h"

#include "settings/layout_store.h"
#include "settings/settings.h"
#include "widget/pointer_catchers.h"
#include "widget/widget_geometry.h"

#include <algorithm>
#include <cmath>

WidgetGrips::WidgetGrips(QWidget& view, LayoutStore& layout, Settings& settings)
    : m_layout(layout)
    , m_settings(settings) {
    // Created back to front, as they are drawn: the text's drag area and its size handle, the
    // button above the text (it takes the clicks where the two overlap), and the grips above
    // everything.
    m_textDrag = new DragCatcher(&view);
    m_sizeHandle = new DragCatcher(&view);
    m_button = new HitArea(&view);
    m_rotate = new RotateCatcher(&view);
    m_resize = new ResizeHandle(layout, &view);
    m_textDrag->setAccessibleName(QStringLiteral("글자 이동"));
    m_sizeHandle->setAccessibleName(QStringLiteral("글자 크기"));
    m_rotate->setAccessibleName(QStringLiteral("회전"));
    m_resize->setAccessibleName(QStringLiteral("크기 조절"));
    m_button->onClicked = [this] {
        if (onButton)
            onButton();
    };

    m_textDrag->onChanged = [this](QSizeF d) {
        if (!m_dragStartTimerPos)
            m_dragStartTimerPos = m_layout.timerPos();
        const double scale = m_layout.scale();
        const double x = m_dragStartTimerPos->x() + d.width() / (scale * WidgetGeometry::kWidth);
        const double y = m_dragStartTimerPos->y() - d.height() / (scale * WidgetGeometry::kHeight);
        m_layout.setTimerPos(QPointF(std::clamp(x, 0.0, 1.0), std::clamp(y, 0.0, 1.0)));
    };
    m_textDrag->onEnded = [this] { m_dragStartTimerPos.reset(); };
    m_sizeHandle->onChanged = [this](QSizeF d) {
        if (!m_dragStartFont)
            m_dragStartFont = m_layout.timerFontSize();
        m_layout.setTimerFontSize(*m_dragStartFont +
                                  (d.width() + d.height()) / (m_layout.scale() * 4.0));
    };
    m_sizeHandle->onEnded = [this] { m_dragStartFont.reset(); };
    m_rotate->onChanged = [this](double angle) {
        if (!m_dragStartRotation)
            m_dragStartRotation = m_settings.catRotation();
        double r = std::fmod(*m_dragStartRotation - angle, 360.0);
        if (r < 0)
            r += 360.0;
        m_settings.setCatRotation(r);
    };
    m_rotate->onEnded = [this] { m_dragStartRotation.reset(); };
}

void WidgetGrips::place(const WidgetGeometry& geometry) {
    m_button->setGeometry(geometry.controlRect().toAlignedRect());
    m_textDrag->setGeometry(geometry.textRect().toAlignedRect());
    m_sizeHandle->setGeometry(geometry.sizeHandleRect().toAlignedRect());
    m_rotate->setGeometry(geometry.rotateArea().toAlignedRect());
    m_resize->setGeometry(geometry.resizeArea().toAlignedRect());
}

void WidgetGrips::show(bool controls, bool button, bool buttonEnabled) {
    m_button->setVisible(button);
    m_button->setEnabled(buttonEnabled);
    m_textDrag->setVisible(controls);
    m_sizeHandle->setVisible(controls);
    m_rotate->setVisible(controls);
    // The resize area works whether or not its symbol shows.
    m_resize->setVisible(true);
}

void WidgetGrips::nameButton(bool alerting, TimerState state) {
    m_button->setAccessibleName(alerting                       ? QStringLiteral("끄기")
                                : state == TimerState::running ? QStringLiteral("일시정지")
                                : state == TimerState::paused  ? QStringLiteral("계속")
                                                               : QStringLiteral("시작"));
}
