#include "widget/widget_accessibility.h"

#include "settings/enums.h"
#include "timing/time_format.h"
#include "widget/pointer_catchers.h"
#include "widget/widget_view.h"

#include <QAccessibleWidget>

namespace WidgetAccessibility {
namespace {

// The view's button: pressing it through an assistive tool is a click. It stays in the tree
// while the pointer is elsewhere and the button is not drawn; only the clock has no button.
class ButtonInterface final : public QAccessibleWidget {
public:
    explicit ButtonInterface(HitArea* area)
        : QAccessibleWidget(area, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        auto* area = static_cast<HitArea*>(widget());
        if (action == pressAction() && area->isEnabled() && area->onClicked)
            area->onClicked();
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (widget()->isEnabled())
            s.invisible = false;
        return s;
    }
};

// The whole widget: its name says what it shows, computed when a tool asks.
class ViewInterface final : public QAccessibleWidget {
public:
    explicit ViewInterface(WidgetView* view)
        : QAccessibleWidget(view, QAccessible::Pane) {}
    QString text(QAccessible::Text t) const override {
        const auto* view = static_cast<const WidgetView*>(widget());
        if (t == QAccessible::Name)
            return view->accessibleSummary();
        if (t == QAccessible::Description)
            return view->displayText();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("WidgetView"))
        return new ViewInterface(static_cast<WidgetView*>(widget));
    if (className == QLatin1String("HitArea"))
        return new ButtonInterface(static_cast<HitArea*>(widget));
    if (className == QLatin1String("DragCatcher") || className == QLatin1String("RotateCatcher") ||
        className == QLatin1String("ResizeHandle"))
        return new QAccessibleWidget(widget, QAccessible::Grip);
    return nullptr;
}

QString stateWord(TimerState state) {
    switch (state) {
    case TimerState::idle:
        return QStringLiteral("대기 중");
    case TimerState::running:
        return QStringLiteral("진행 중");
    case TimerState::paused:
        return QStringLiteral("일시정지됨");
    case TimerState::done:
        return QStringLiteral("끝남");
    }
    return {};
}

} // namespace

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

QString countdownSummary(TimerState state, double remainingSeconds, bool alerting) {
    QString text = QStringLiteral("Purrtick, 남은 시간 ") +
                   formatSeconds(TimerDisplayFormat::korean, roundedSeconds(remainingSeconds)) +
                   QStringLiteral(", ") + stateWord(state);
    if (alerting)
        text += QStringLiteral(", 알림 울리는 중");
    return text;
}

QString clockSummary(const QString& shownTime) {
    return QStringLiteral("Purrtick, 현재 시각 ") + shownTime;
}

void announceNameChange(QWidget* view) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(view, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace WidgetAccessibility
