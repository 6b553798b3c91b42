#include "app/app_delegate.h"
#include "app/panel_geometry.h"
#include "fake_clock.h"
#include "recording_sound.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "temp_store.h"
#include "timing/timer_engine.h"

#include <QActionGroup>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

// The menu as the user reads it: one line per item, "---" for a separator, "(o)"/"( )" for the
// choices of an exclusive group, "[x]"/"[ ]" for other checkable items, "(off)" for disabled
// ones, the shortcut after a tab.
QStringList describe(const QMenu& menu) {
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            lines << QStringLiteral("---");
            continue;
        }
        QString line = action->text();
        // Choices of one exclusive group read as radio items: only the chosen one is marked.
        const bool radio = action->actionGroup() && action->actionGroup()->isExclusive();
        if (action->isCheckable())
            line.prepend(QString(action->isChecked() ? (radio ? "(o) " : "[x] ")
                                                     : (radio ? "( ) " : "[ ] ")));
        if (!action->isEnabled())
            line.append(QStringLiteral(" (off)"));
        if (!action->shortcut().isEmpty())
            line.append(QLatin1Char('\t') + action->shortcut().toString());
        lines << line;
    }
    return lines;
}

QAction* find(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

// Triggers a menu item as a click would, then lets the queued command run.
void choose(QMenu& menu, const QString& text) {
    QAction* action = find(menu, text);
    QVERIFY2(action, qPrintable(text));
    action->trigger();
    QCoreApplication::processEvents();
}

} // namespace

class AppDelegateTest : public QObject {
    Q_OBJECT

    struct Fixture {
        TempStore temp;
        std::unique_ptr<Settings> settings;
        std::unique_ptr<LayoutStore> layout;
        FakeClock clock;
        RecordingSound sound;
        std::unique_ptr<TimerEngine> engine;
        std::unique_ptr<AppDelegate> delegate;

        // Seeds stored values, then builds the objects and runs the launch sequence.
        void launch(const QVariantMap& stored = {}) {
            for (auto it = stored.begin(); it != stored.end(); ++it)
                temp.seed(it.key(), it.value());
            settings = std::make_unique<Settings>(temp.open());
            layout = std::make_unique<LayoutStore>(*settings);
            engine = std::make_unique<TimerEngine>(*settings, clock, sound);
            delegate = std::make_unique<AppDelegate>(*settings, *layout, *engine);
            delegate->applicationDidFinishLaunching();
        }
        QMenu& menu() { return delegate->menu(); }
        void finishOneSecond() {
            engine->setMode(TimerMode::workDuration(0, 0));
            engine->start();
            clock.advance(1);
            engine->tick();
        }
    };

private slots:
    void firstLaunch() {
        Fixture f;
        f.launch();
        QVERIFY(f.delegate->panel()->isVisible());
        QCOMPARE(f.engine->state(), TimerState::idle);
        QCOMPARE(f.delegate->panel()->size(), QSize(180, 190));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(f.delegate->panel()->geometry().topRight(),
                 available.topRight() + QPoint(-40, 40));
        QCOMPARE(describe(f.menu()),
                 QStringList({"Purrtick 정보...", "---", "\u25A0 대기 · 집중 · 25분 (off)", "---",
                              "시작", "리셋", "---", "타이머 설정...\tCtrl+,", "---", "위젯 숨기기",
                              "---", "표시 모드 (off)", "(o) 최상단 고정", "( ) 데스크탑에만",
                              "---", "Purrtick 종료\tCtrl+Q"}));
        QVERIFY(f.delegate->panel()->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(f.delegate->panel()->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    }

    void savedState_data() {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("visible");

        QTest::newRow("scale 2") << QVariantMap{{"widgetScale", 2.0}} << QSize(360, 380) << true;
        QTest::newRow("scale 0.6") << QVariantMap{{"widgetScale", 0.6}} << QSize(108, 114) << true;
        QTest::newRow("hidden at the last exit")
            << QVariantMap{{"isWidgetVisible", false}} << QSize(180, 190) << false;
    }
    void savedState() {
        QFETCH(QVariantMap, stored);
        QFETCH(QSize, size);
        QFETCH(bool, visible);
        Fixture f;
        f.launch(stored);
        QCOMPARE(f.delegate->panel()->size(), size);
        QCOMPARE(f.delegate->panel()->isVisible(), visible);
        QCOMPARE(find(f.menu(), visible ? "위젯 숨기기" : "위젯 보이기") != nullptr, true);
    }

    void autoStartShowsAHiddenWidgetAndRuns() {
        Fixture f;
        f.launch({{"autoStartOnLaunch", true}, {"isWidgetVisible", false}});
        QVERIFY(f.delegate->panel()->isVisible());
        QCOMPARE(f.engine->state(), TimerState::running);
        QVERIFY(f.settings->isWidgetVisible());
        QCOMPARE(f.temp.readBack()->value("isWidgetVisible").toBool(), true);
        QCOMPARE(describe(f.menu()).at(2), QString("\u25B6\uFE0E 25:00 · 집중 · 25분 (off)"));
        QCOMPARE(describe(f.menu()).at(4), QString("일시정지"));
    }

    void toggleWalksTheStates() {
        Fixture f;
        f.launch();
        choose(f.menu(), "시작");
        QCOMPARE(f.engine->state(), TimerState::running);
        f.clock.advance(90);
        f.engine->tick();
        choose(f.menu(), "일시정지");
        QCOMPARE(f.engine->state(), TimerState::paused);
        QCOMPARE(describe(f.menu()).at(2), QString("\u275A\u275A 23:30 · 집중 · 25분 (off)"));
        choose(f.menu(), "계속");
        QCOMPARE(f.engine->state(), TimerState::running);
        choose(f.menu(), "리셋");
        QCOMPARE(f.engine->state(), TimerState::idle);
        QCOMPARE(describe(f.menu()).at(2), QString("\u25A0 대기 · 집중 · 25분 (off)"));
    }

    void finishingShowsTheWidgetAndTheAlertItem() {
        Fixture f;
        f.launch();
        choose(f.menu(), "위젯 숨기기");
        QVERIFY(!f.delegate->panel()->isVisible());
        QCOMPARE(f.temp.readBack()->value("isWidgetVisible").toBool(), false);

        f.finishOneSecond();
        QVERIFY(f.delegate->panel()->isVisible());
        QVERIFY(f.settings->isWidgetVisible());
        QCOMPARE(describe(f.menu()).mid(2, 5),
                 QStringList({"🔔 퇴근! 🎉 (off)", "---", "🔕 알림 끄기", "시작", "리셋"}));
        QCOMPARE(describe(f.menu()).at(10), QString("위젯 숨기기"));

        choose(f.menu(), "🔕 알림 끄기");
        QVERIFY(!f.engine->isAlerting());
        QCOMPARE(describe(f.menu()).mid(2, 4),
                 QStringList({"🔔 퇴근! 🎉 (off)", "---", "시작", "리셋"}));

        // Starting again from the finished state runs a new countdown.
        choose(f.menu(), "시작");
        QCOMPARE(f.engine->state(), TimerState::running);
    }

    // Commands from a launch's command line do what the menu does, and only in the direction
    // their name says.
    void commandLineCommands() {
        using C = CommandLine::Command;
        Fixture f;
        f.launch();
        f.delegate->perform(C::pause);
        QCOMPARE(f.engine->state(), TimerState::idle);
        f.delegate->perform(C::start);
        QCOMPARE(f.engine->state(), TimerState::running);
        f.delegate->perform(C::start);
        QCOMPARE(f.engine->state(), TimerState::running);
        f.delegate->perform(C::pause);
        QCOMPARE(f.engine->state(), TimerState::paused);
        f.delegate->perform(C::start);
        QCOMPARE(f.engine->state(), TimerState::running);
        f.delegate->perform(C::toggle);
        QCOMPARE(f.engine->state(), TimerState::paused);
        f.delegate->perform(C::reset);
        QCOMPARE(f.engine->state(), TimerState::idle);

        f.delegate->perform(C::hide);
        QVERIFY(!f.delegate->panel()->isVisible());
        QCOMPARE(f.temp.readBack()->value("isWidgetVisible").toBool(), false);
        f.delegate->perform(C::hide);
        QVERIFY(!f.delegate->panel()->isVisible());
        f.delegate->perform(C::show);
        QVERIFY(f.delegate->panel()->isVisible());

        f.finishOneSecond();
        QVERIFY(f.engine->isAlerting());
        f.delegate->perform(C::stopAlert);
        QVERIFY(!f.engine->isAlerting());
        QVERIFY(!find(f.menu(), "🔕 알림 끄기"));
    }

    void startingWhileAlertingKeepsTheAlert() {
        Fixture f;
        f.launch();
        f.finishOneSecond();
        choose(f.menu(), "시작");
        QCOMPARE(f.engine->state(), TimerState::running);
        QVERIFY(f.engine->isAlerting());
        QVERIFY(find(f.menu(), "🔕 알림 끄기"));
    }

    void displayModes() {
        Fixture f;
        f.launch();
        choose(f.menu(), "데스크탑에만");
        QCOMPARE(f.settings->displayMode(), DisplayMode::desktopOnly);
        QCOMPARE(f.temp.readBack()->value("displayMode").toString(), QString("desktopOnly"));
        QVERIFY(f.delegate->panel()->windowFlags() & Qt::WindowStaysOnBottomHint);
        QVERIFY(!(f.delegate->panel()->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(f.delegate->panel()->isVisible());
        QCOMPARE(describe(f.menu()).mid(12, 2),
                 QStringList({"( ) 최상단 고정", "(o) 데스크탑에만"}));

        f.delegate->selectDisplayMode("sideways");
        QCOMPARE(f.settings->displayMode(), DisplayMode::desktopOnly);
        choose(f.menu(), "최상단 고정");
        QVERIFY(f.delegate->panel()->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void storedDisplayModeAppliesAtLaunch() {
        Fixture f;
        f.launch({{"displayMode", "desktopOnly"}});
        QVERIFY(f.delegate->panel()->windowFlags() & Qt::WindowStaysOnBottomHint);
        QCOMPARE(describe(f.menu()).at(13), QString("(o) 데스크탑에만"));
    }

    void releasingTheMouseSavesTheOrigin() {
        Fixture f;
        f.launch();
        FloatingPanel* panel = f.delegate->panel();
        const QPointF before = panel->frameOrigin();
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(f.settings->widgetOrigin(), std::optional(before));
        auto file = f.temp.readBack();
        QCOMPARE(file->value("widgetOriginX").toDouble(), before.x());
        QCOMPARE(file->value("widgetOriginY").toDouble(), before.y());
        QCOMPARE(file->value("hasSavedOrigin").toBool(), true);
    }

    void draggingIsClampedToTheVisibleArea() {
        Fixture f;
        f.launch();
        FloatingPanel* panel = f.delegate->panel();
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(10, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(5000, -300), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(panel, &move);
        QCOMPARE(panel->geometry().topRight(), available.topRight());
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f.settings->widgetOrigin(), std::optional(panel->frameOrigin()));
    }

    void scaleChangeResizesAndSaves() {
        Fixture f;
        f.launch();
        FloatingPanel* panel = f.delegate->panel();
        const int top = panel->geometry().top();
        f.layout->setScale(2.0);
        QCOMPARE(panel->size(), QSize(360, 380));
        QCOMPARE(panel->geometry().top(), top);
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(panel->geometry()));
        QCOMPARE(f.settings->widgetOrigin(), std::optional(panel->frameOrigin()));
    }

    // The saved origin is where the widget's bottom-left corner was: a relaunch puts it back
    // there exactly, at any scale, instead of drifting down by the panel's growth.
    void restoresASavedOriginWithoutDrift_data() {
        QTest::addColumn<double>("scale");
        QTest::newRow("scale 1") << 1.0;
        QTest::newRow("scale 2") << 2.0;
        QTest::newRow("scale 0.6") << 0.6;
    }
    void restoresASavedOriginWithoutDrift() {
        QFETCH(double, scale);
        QPointF origin(100, 120);
        for (int launch = 0; launch < 3; ++launch) {
            Fixture f;
            f.launch({{"widgetOriginX", origin.x()},
                      {"widgetOriginY", origin.y()},
                      {"hasSavedOrigin", true},
                      {"widgetScale", scale}});
            QCOMPARE(f.delegate->panel()->frameOrigin(), QPointF(100, 120));
            QTest::mouseClick(f.delegate->panel(), Qt::LeftButton, {}, QPoint(5, 5));
            origin = *f.settings->widgetOrigin();
        }
    }

    void secondaryWindowsAreCreatedOnce() {
        Fixture f;
        f.launch();
        choose(f.menu(), "타이머 설정...");
        SecondaryWindow* settings = f.delegate->settingsWindow();
        QVERIFY(settings);
        QVERIFY(settings->isVisible());
        QCOMPARE(settings->windowTitle(), QString("Purrtick"));
        QVERIFY(settings->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(settings->minimumSize(), settings->maximumSize());

        // Moved by the user, closed with its button, opened again: the same window, where the
        // user left it.
        settings->move(settings->pos() + QPoint(-30, 20));
        const QPoint moved = settings->pos();
        auto* close = settings->findChild<QPushButton*>("close");
        QVERIFY(close);
        QCOMPARE(close->text(), QString("닫기"));
        QVERIFY(QTest::qWaitForWindowExposed(settings));
        QTest::mouseClick(settings->windowHandle(), Qt::LeftButton, {},
                          close->mapTo(settings, close->rect().center()));
        QVERIFY(!settings->isVisible());
        choose(f.menu(), "타이머 설정...");
        QCOMPARE(f.delegate->settingsWindow(), settings);
        QVERIFY(settings->isVisible());
        QCOMPARE(settings->pos(), moved);

        choose(f.menu(), "Purrtick 정보...");
        QVERIFY(f.delegate->aboutWindow());
        QVERIFY(f.delegate->aboutWindow() != settings);
        QCOMPARE(f.delegate->aboutWindow()->windowTitle(), QString("Purrtick 정보"));
    }

    void activationRequestShowsAHiddenWidget() {
        Fixture f;
        f.launch({{"isWidgetVisible", false}});
        f.delegate->showWidget();
        QVERIFY(f.delegate->panel()->isVisible());
        QVERIFY(f.settings->isWidgetVisible());
        QVERIFY(find(f.menu(), "위젯 숨기기"));
    }

    void hooksAreDetachedWithTheDelegate() {
        Fixture f;
        f.launch();
        f.delegate.reset();
        f.layout->setScale(1.5);
        f.finishOneSecond();
        QCOMPARE(f.engine->state(), TimerState::done);
    }
};

QTEST_MAIN(AppDelegateTest)
#include "tst_app_delegate.moc"
