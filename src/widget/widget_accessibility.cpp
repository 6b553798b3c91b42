#include "widget/widget_accessibility.h"

#include "widget/pointer_catchers.h"
#include "widget/widget_view.h"

#include <QAccessibleWidget>

namespace WidgetAccessibility {
namespace {

// The view's button: pressing it through an assistive tool is a click.
class ButtonInterface final : public QAccessibleWidget {
public:
    explicit ButtonInterface(HitArea* area)
        : QAccessibleWidget(area, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        auto* area = static_cast<HitArea*>(widget());
        if (action == pressAction() && area->isVisible() && area->onClicked)
            area->onClicked();
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("HitArea"))
        return new ButtonInterface(static_cast<HitArea*>(widget));
    if (className == QLatin1String("DragCatcher") || className == QLatin1String("RotateCatcher") ||
        className == QLatin1String("ResizeHandle"))
        return new QAccessibleWidget(widget, QAccessible::Grip);
    return nullptr;
}

} // namespace

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

} // namespace WidgetAccessibility
