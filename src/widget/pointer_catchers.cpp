#include "widget/pointer_catchers.h"

#include "settings/layout_store.h"

#include <QMouseEvent>

#include <cmath>
#include <numbers>
#include <optional>

namespace {

void prepare(QWidget* widget, Qt::CursorShape cursor) {
    widget->setCursor(cursor);
    widget->setAttribute(Qt::WA_NoSystemBackground);
    widget->setMouseTracking(false);
}

} // namespace

DragCatcher::DragCatcher(QWidget* parent)
    : QWidget(parent) {
    prepare(this, Qt::OpenHandCursor);
}

void DragCatcher::mousePressEvent(QMouseEvent* event) {
    m_start = upwardPosition(event->globalPosition());
    event->accept();
}

void DragCatcher::mouseMoveEvent(QMouseEvent* event) {
    const QPointF now = upwardPosition(event->globalPosition());
    if (onChanged)
        onChanged(QSizeF(now.x() - m_start.x(), now.y() - m_start.y()));
    event->accept();
}

void DragCatcher::mouseReleaseEvent(QMouseEvent* event) {
    if (onEnded)
        onEnded();
    event->accept();
}

RotateCatcher::RotateCatcher(QWidget* parent)
    : QWidget(parent) {
    prepare(this, Qt::OpenHandCursor);
}

std::optional<double> RotateCatcher::angleToPointer(QPointF global) const {
    const QWidget* window = this->window();
    if (!window || window == this)
        return std::nullopt;
    const QPointF centre = upwardPosition(QRectF(window->frameGeometry()).center());
    const QPointF pointer = upwardPosition(global);
    return std::atan2(pointer.y() - centre.y(), pointer.x() - centre.x()) * 180.0 /
           std::numbers::pi;
}

void RotateCatcher::mousePressEvent(QMouseEvent* event) {
    m_lastAngle = angleToPointer(event->globalPosition()).value_or(0.0);
    m_accumulated = 0.0;
    event->accept();
}

void RotateCatcher::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const std::optional<double> angle = angleToPointer(event->globalPosition());
    if (!angle)
        return;
    double turn = *angle - m_lastAngle;
    // Crossing the line left of the centre is a small turn, not a jump of 360.
    if (turn > 180.0)
        turn -= 360.0;
    else if (turn < -180.0)
        turn += 360.0;
    m_accumulated += turn;
    m_lastAngle = *angle;
    if (onChanged)
        onChanged(m_accumulated);
}

void RotateCatcher::mouseReleaseEvent(QMouseEvent* event) {
    if (onEnded)
        onEnded();
    event->accept();
}

ResizeHandle::ResizeHandle(LayoutStore& layout, QWidget* parent)
    : QWidget(parent)
    , m_layout(layout) {
    prepare(this, Qt::CrossCursor);
}

void ResizeHandle::mousePressEvent(QMouseEvent* event) {
    m_startScale = m_layout.scale();
    m_startMouse = upwardPosition(event->globalPosition());
    event->accept();
}

void ResizeHandle::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = upwardPosition(event->globalPosition());
    const double delta = ((p.x() - m_startMouse.x()) + (m_startMouse.y() - p.y())) / 220.0;
    m_layout.setScale(m_startScale + delta);
    event->accept();
}

void ResizeHandle::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

HitArea::HitArea(QWidget* parent)
    : QWidget(parent) {
    prepare(this, Qt::PointingHandCursor);
}

void HitArea::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void HitArea::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClicked)
        onClicked();
}
