#include "app/app_delegate.h"
#include "settings_window_fixture.h"

#include <QPushButton>

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
