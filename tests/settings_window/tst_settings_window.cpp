#include "app/app_delegate.h"
#include "settings_window_fixture.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

// Everything the settings file holds, as text.
QString everythingStored(SettingsWindowFixture& f) {
    f.view(); // the models write through the store
    const std::unique_ptr<QSettings> settings = f.temp.readBack();
    QStringList lines;
    for (const QString& key : settings->allKeys())
        lines << key + u'=' + settings->value(key).toString();
    return lines.join(u'\n');
}

// What a control shows as its value.
QString valueOf(QWidget* control) {
    if (auto* slider = qobject_cast<QAbstractSlider*>(control))
        return QString::number(slider->value());
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    if (auto* field = qobject_cast<QLineEdit*>(control))
        return field->text();
    return {};
}

} // namespace

// The settings window's frame: five tabs in order, a fixed size, the ways to close it, and one
// window for the whole run.
class SettingsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void tabsInOrder() {
        SettingsWindowFixture f;
        f.open();
        QTabWidget* tabs = f.view()->tabs();
        const QStringList titles = {"모드", "표시", "알림", "실행", "고양이"};
        QCOMPARE(tabs->count(), titles.size());
        for (int i = 0; i < tabs->count(); ++i) {
            QCOMPARE(tabs->tabText(i), titles[i]);
            QVERIFY2(!tabs->tabIcon(i).pixmap(16).isNull(), qPrintable(titles[i]));
        }
        QCOMPARE(tabs->currentIndex(), 0);
        // Each tab is a vertical scroll area, never a horizontal one.
        for (int i = 0; i < tabs->count(); ++i) {
            auto* scroll = qobject_cast<QScrollArea*>(tabs->widget(i));
            QVERIFY(scroll);
            QCOMPARE(scroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            f.showTab(i);
            QVERIFY2(scroll->widget()->width() <= scroll->viewport()->width(),
                     qPrintable(titles[i]));
        }
    }

    void fixedSize() {
        SettingsWindowFixture f;
        f.open();
        QCOMPARE(f.window->size(), QSize(420, 520));
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Purrtick"));
        QVERIFY(f.window->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape") << "escape";
        QTest::newRow("Ctrl+W") << "ctrl-w";
        QTest::newRow("닫기") << "button";
    }
    void closing() {
        QFETCH(QString, how);
        SettingsWindowFixture f;
        f.open();
        if (how == u"escape")
            f.press(Qt::Key_Escape);
        else if (how == u"ctrl-w")
            QTest::keyClick(f.window->windowHandle(), Qt::Key_W, Qt::ControlModifier);
        else
            f.click(QStringLiteral("close"));
        QVERIFY(!f.window->isVisible());
        // Closing hides it only; the same window opens again.
        QWidget* content = f.view();
        f.open();
        QCOMPARE(f.view(), content);
        QVERIFY(f.window->isVisible());
    }

    // A wheel turned over a slider, a list box or a number field the user has not chosen
    // scrolls the page and changes nothing, in every tab.
    void aWheelOverAControlScrollsThePage() {
        SettingsWindowFixture f;
        f.open();
        QTabWidget* tabs = f.view()->tabs();
        int controls = 0;
        for (int i = 0; i < tabs->count(); ++i) {
            f.showTab(i);
            auto* page = qobject_cast<QScrollArea*>(tabs->widget(i));
            QList<QWidget*> found;
            for (QWidget* w : page->widget()->findChildren<QWidget*>()) {
                const bool slider =
                    qobject_cast<QAbstractSlider*>(w) && !qobject_cast<QScrollBar*>(w);
                const bool stepper = QLatin1String(w->metaObject()->className()) == "Stepper";
                if ((slider || stepper || qobject_cast<QComboBox*>(w) ||
                     qobject_cast<QLineEdit*>(w)) &&
                    w->isVisible() && !qobject_cast<QComboBox*>(w->parentWidget()))
                    found << w;
            }
            for (QWidget* control : found) {
                ++controls;
                const QString name = tabs->tabText(i) + u'/' + control->objectName();
                page->ensureWidgetVisible(control);
                QApplication::processEvents();
                const QString before = everythingStored(f);
                const QString shown = valueOf(control);
                QScrollBar* bar = page->verticalScrollBar();
                const int scrolled = bar->value();
                const bool down = scrolled < bar->maximum();
                const QPoint at = control->mapTo(f.window.get(), control->rect().center());
                for (int notch = 0; notch < 3; ++notch) {
                    QWheelEvent wheel(at, f.window->mapToGlobal(at), QPoint(),
                                      QPoint(0, down ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                                      Qt::NoScrollPhase, false);
                    QApplication::sendEvent(f.window->windowHandle(), &wheel);
                }
                QApplication::processEvents();
                QCOMPARE(valueOf(control), shown);
                QVERIFY2(everythingStored(f) == before, qPrintable(name));
                QVERIFY2(!control->hasFocus(), qPrintable(name));
                if (bar->maximum() > 0)
                    QVERIFY2(down ? bar->value() > scrolled : bar->value() < scrolled,
                             qPrintable(name));
            }
        }
        // The focus minutes, their stepper, the format list, the rotation slider at least.
        QVERIFY2(controls >= 4, qPrintable(QString::number(controls)));
    }

    // Every control of a tab is reached with Tab, in order from top to bottom, and so is "닫기".
    void keyboardReachesEveryControl() {
        SettingsWindowFixture f;
        f.open();
        QStringList reached;
        for (int i = 0; i < 40; ++i) {
            f.press(Qt::Key_Tab);
            if (QWidget* focus = QApplication::focusWidget())
                reached << (focus->objectName().isEmpty() && focus->parentWidget()
                                ? focus->parentWidget()->objectName() + u'/' +
                                      focus->metaObject()->className()
                                : focus->objectName());
        }
        for (const char* name : {"focusMinutes", "preset5", "preset60", "applyAndStart", "close"})
            QVERIFY2(reached.contains(QString::fromLatin1(name)), qPrintable(reached.join(u' ')));
        QVERIFY2(reached.indexOf("focusMinutes") < reached.indexOf("applyAndStart"),
                 qPrintable(reached.join(u' ')));
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "tst_settings_window.moc"
