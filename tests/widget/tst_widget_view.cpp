#include "cats/bundled_cat.h"
#include "cats/custom_cat.h"
#include "cats/skin_store.h"
#include "fake_clock.h"
#include "recording_sound.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "temp_store.h"
#include "test_images.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"
#include "widget/pointer_catchers.h"
#include "widget/widget_view.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <numbers>

namespace {

// Pixels of the image within the rectangle that are close to the colour.
int countNear(const QImage& image, const QRect& rect, QColor colour, int tolerance = 40) {
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = std::max(0, rect.top()); y <= std::min(plain.height() - 1, rect.bottom()); ++y)
        for (int x = std::max(0, rect.left()); x <= std::min(plain.width() - 1, rect.right());
             ++x) {
            const QColor p = plain.pixelColor(x, y);
            if (p.alpha() > 200 && std::abs(p.red() - colour.red()) < tolerance &&
                std::abs(p.green() - colour.green()) < tolerance &&
                std::abs(p.blue() - colour.blue()) < tolerance)
                ++count;
        }
    return count;
}

// The largest difference of any channel of any pixel of two images of one size.
int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row), q = y.pixel(column, row);
            largest =
                std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return largest;
}

// Pointer events at a fixed screen position, as a real pointer has, even while the widget
// under it moves.
void sendMouse(QWidget* target, QEvent::Type type, QPointF global) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, target->mapFromGlobal(global), global, Qt::LeftButton, buttons, {});
    QApplication::sendEvent(target, &event);
}

// The areas the view paints, from its paint events.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* view) { view->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

struct Fixture {
    TempStore temp;
    Settings settings{temp.open()};
    LayoutStore layout{settings};
    FakeClock clock;
    RecordingSound sound;
    TimerEngine engine{settings, clock, sound};
    ClockEngine clockEngine{settings, clock};
    QTemporaryDir bundle;
    std::unique_ptr<BundledCat> catalogue;
    std::unique_ptr<SkinStore> skins;
    QTemporaryDir data;
    CustomCat library{data.filePath("Purrtick"), settings};
    std::unique_ptr<WidgetView> view;

    explicit Fixture(bool withPicture = true) {
        QDir(bundle.path()).mkpath("Cats");
        if (withPicture) {
            QFile f(bundle.filePath("Cats/blue.png"));
            f.open(QIODevice::WriteOnly);
            f.write(pngBytes({64, 64}, QColor(0, 0, 255)));
        }
        catalogue = std::make_unique<BundledCat>(bundle.path());
        skins = std::make_unique<SkinStore>(settings, *catalogue);
        view = std::make_unique<WidgetView>(engine, clockEngine, *skins, layout, settings, library);
        view->resize(180, 190);
        view->show();
    }
    void resize() {
        view->resize(int(std::lround(180 * layout.scale())),
                     int(std::lround(190 * layout.scale())));
    }
    QImage render() {
        view->finishAnimations();
        QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view->render(&image);
        return image;
    }
    void hover(bool on) {
        if (on) {
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QApplication::sendEvent(view.get(), &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(view.get(), &leave);
        }
    }
    void finish() {
        engine.setMode(TimerMode::workDuration(0, 0));
        engine.reset();
        engine.start();
        clock.advance(1);
        engine.tick();
    }
    // 0 idle, 1 running, 2 paused, 3 done and alerting, 4 done with the alert stopped.
    void enter(int state) {
        if (state >= 1)
            engine.start();
        if (state == 2)
            engine.pause();
        if (state >= 3)
            finish();
        if (state == 4)
            engine.stopAlert();
    }
    template <typename T>
    T* child() {
        return view->findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
    }
    QList<DragCatcher*> dragCatchers() { return view->findChildren<DragCatcher*>(); }

    // The photo the widget shows once the photos it asked for are decoded (off the main
    // thread, so a large one never holds up a paint).
    std::optional<QImage> shownPhoto() {
        view->customImage();
        if (!QTest::qWaitFor([&] { return !library.isLoading(); }, 5000))
            qWarning("photos still loading");
        view->customImage();
        (void)QTest::qWaitFor([&] { return !library.isLoading(); }, 5000);
        return view->customImage();
    }

    // Pointer events delivered to the window at window coordinates, as the window system
    // delivers them: the widget stack decides which child gets them.
    QWindow* window() {
        (void)QTest::qWaitForWindowExposed(view.get());
        return view->windowHandle();
    }
    void pointAt(QPoint at) { QTest::mouseMove(window(), at); }
    void clickAt(QPoint at) {
        pointAt(at);
        QTest::mouseClick(window(), Qt::LeftButton, {}, at);
    }
    void dragFrom(QPoint from, QPoint by) {
        pointAt(from);
        QTest::mousePress(window(), Qt::LeftButton, {}, from);
        QTest::mouseMove(window(), from + by / 2);
        QTest::mouseMove(window(), from + by);
        QTest::mouseRelease(window(), Qt::LeftButton, {}, from + by);
    }
};

// Where the start/pause and "끄기" buttons are drawn at scale 1: centred, 6 points above the
// bottom edge, 26 points high; the "끄기" button is 64 points wide.
const QPoint kButtonCentre(90, 190 - 6 - 13);

} // namespace

class WidgetViewTest : public QObject {
    Q_OBJECT

private slots:
    void timeColour_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("clockMode");
        QTest::addColumn<QColor>("expected");
        const QColor base(10, 200, 30);
        QColor faded = base;
        faded.setAlphaF(0.7f);
        QTest::newRow("idle") << 0 << false << faded;
        QTest::newRow("running") << 1 << false << base;
        QTest::newRow("paused") << 2 << false << QColor(0xFF, 0xCC, 0x00);
        QTest::newRow("done") << 3 << false << QColor(0xFF, 0x3B, 0x30);
        QTest::newRow("clock while done") << 3 << true << base;
    }
    void timeColour() {
        QFETCH(int, state);
        QFETCH(bool, clockMode);
        QFETCH(QColor, expected);
        Fixture f;
        f.enter(state);
        if (clockMode)
            f.settings.setWidgetMode(WidgetMode::clock);
        QCOMPARE(f.view->timeColor(QColor(10, 200, 30)), expected);
    }

    void visibilityRules_data() {
        QTest::addColumn<bool>("hideUnlessHover");
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<bool>("clicked");
        QTest::addColumn<bool>("alerting");
        QTest::addColumn<bool>("count");
        QTest::addColumn<bool>("controls");
        QTest::newRow("plain, away") << false << false << false << false << true << false;
        QTest::newRow("plain, hover") << false << true << false << false << true << true;
        QTest::newRow("hidden, away") << true << false << false << false << false << false;
        QTest::newRow("hidden, hover") << true << true << false << false << true << false;
        QTest::newRow("hidden, hover and click") << true << true << true << false << true << true;
        QTest::newRow("hidden, alerting") << true << false << false << true << true << true;
        QTest::newRow("plain, alerting") << false << false << false << true << true << true;
    }
    void visibilityRules() {
        QFETCH(bool, hideUnlessHover);
        QFETCH(bool, hovering);
        QFETCH(bool, clicked);
        QFETCH(bool, alerting);
        QFETCH(bool, count);
        QFETCH(bool, controls);
        Fixture f;
        f.layout.setHideCountUnlessHover(hideUnlessHover);
        if (alerting)
            f.finish();
        f.hover(hovering);
        if (clicked)
            QTest::mouseClick(f.view.get(), Qt::LeftButton, {}, QPoint(90, 60));
        QCOMPARE(f.view->showsCount(), count);
        QCOMPARE(f.view->showsControls(), controls);
        f.hover(false);
        QVERIFY(!f.view->isRevealed());
    }

    // The button lies under the time text at the default layout; the controls column is above
    // the text, so a click there reaches the button, not the text's drag area.
    void buttonTakesClicksWhereItIsDrawn_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<TimerState>("after");
        QTest::addColumn<bool>("alertingAfter");
        QTest::newRow("idle: play starts") << 0 << QPoint() << TimerState::running << false;
        QTest::newRow("running: pause") << 1 << QPoint(5, -5) << TimerState::paused << false;
        QTest::newRow("paused: play resumes") << 2 << QPoint() << TimerState::running << false;
        QTest::newRow("alerting: 끄기 centre") << 3 << QPoint() << TimerState::done << false;
        QTest::newRow("alerting: 끄기 left") << 3 << QPoint(-28, 0) << TimerState::done << false;
        QTest::newRow("alerting: 끄기 right") << 3 << QPoint(28, 8) << TimerState::done << false;
        QTest::newRow("done: restart") << 4 << QPoint() << TimerState::running << false;
    }
    void buttonTakesClicksWhereItIsDrawn() {
        QFETCH(int, state);
        QFETCH(QPoint, offset);
        QFETCH(TimerState, after);
        QFETCH(bool, alertingAfter);
        Fixture f;
        f.enter(state);
        f.pointAt(QPoint(90, 95));
        QVERIFY(f.view->isHovering());
        f.clickAt(kButtonCentre + offset);
        QCOMPARE(f.engine.state(), after);
        QCOMPARE(f.engine.isAlerting(), alertingAfter);
    }

    // The text's size handle can be grabbed at every text size: it stays whole inside the
    // window even where the text's corner is at the window's edge.
    void sizeHandleIsReachableAtEveryTextSize_data() {
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("alerting");
        for (double size : {12.0, 30.0, 55.0, 70.0, 90.0})
            for (double scale : {0.6, 1.0})
                for (bool alerting : {false, true})
                    QTest::addRow("size %g, scale %g%s", size, scale, alerting ? ", alerting" : "")
                        << size << scale << alerting;
    }
    void sizeHandleIsReachableAtEveryTextSize() {
        QFETCH(double, size);
        QFETCH(double, scale);
        QFETCH(bool, alerting);
        Fixture f;
        f.layout.setScale(scale);
        f.resize();
        f.layout.setTimerFontSize(size);
        if (alerting)
            f.enter(3);
        f.pointAt(QPoint(int(50 * scale), int(50 * scale)));
        DragCatcher* handle = f.dragCatchers().at(1);
        QVERIFY(handle->isVisible());
        const QRect area = handle->geometry();
        // Never over the button, which is wide during the alert.
        const QRect button = f.view->findChild<HitArea*>()->geometry();
        QVERIFY2(!area.intersects(button), qPrintable(QString("%1,%2 %3x%4")
                                                          .arg(area.x())
                                                          .arg(area.y())
                                                          .arg(area.width())
                                                          .arg(area.height())));
        QVERIFY2(f.view->rect().contains(area), qPrintable(QString("%1,%2 %3x%4")
                                                               .arg(area.x())
                                                               .arg(area.y())
                                                               .arg(area.width())
                                                               .arg(area.height())));
        QCOMPARE(f.view->childAt(area.center()), handle);
        // Dragged 24 pixels left through the window: one size step per 4 points of the scale.
        f.dragFrom(area.center(), QPoint(-24, 0));
        QCOMPARE(f.layout.timerFontSize(), std::max(12.0, size - 24 / (4 * scale)));
    }

    // Nothing wakes the program for a clock nobody sees.
    void clockTicksOnlyWhileShown() {
        Fixture f;
        QVERIFY(!f.clockEngine.isTicking());
        f.settings.setWidgetMode(WidgetMode::clock);
        QVERIFY(f.clockEngine.isTicking());
        f.settings.setWidgetMode(WidgetMode::timer);
        QVERIFY(!f.clockEngine.isTicking());
    }

    // Assistive tools read the widget's name as what it shows, and see a button named for what
    // it does now, which they can press with the pointer elsewhere (the button not drawn), and
    // four named grips.
    void controlsAreAccessible_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("name");
        QTest::addColumn<TimerState>("afterPress");
        QTest::newRow("idle") << 0 << "Purrtick, 남은 시간 25분, 대기 중"
                              << "시작" << TimerState::running;
        QTest::newRow("running") << 1 << "Purrtick, 남은 시간 24분 59초, 진행 중"
                                 << "일시정지" << TimerState::paused;
        QTest::newRow("paused") << 2 << "Purrtick, 남은 시간 25분, 일시정지됨"
                                << "계속" << TimerState::running;
        QTest::newRow("alerting") << 3 << "Purrtick, 남은 시간 0초, 끝남, 알림 울리는 중"
                                  << "끄기" << TimerState::done;
        QTest::newRow("done") << 4 << "Purrtick, 남은 시간 0초, 끝남"
                              << "시작" << TimerState::running;
    }
    void controlsAreAccessible() {
        QFETCH(int, state);
        QFETCH(QString, summary);
        QFETCH(QString, name);
        QFETCH(TimerState, afterPress);
        Fixture f;
        f.enter(state);
        if (state == 1) {
            f.clock.advance(1);
            f.engine.tick();
        }
        f.hover(false);
        QAccessibleInterface* widget = QAccessible::queryAccessibleInterface(f.view.get());
        QCOMPARE(widget->text(QAccessible::Name), summary);
        QCOMPARE(widget->text(QAccessible::Description), f.view->displayText());
        QAccessibleInterface* button =
            QAccessible::queryAccessibleInterface(f.view->findChild<HitArea*>());
        QVERIFY(button);
        QCOMPARE(button->role(), QAccessible::Button);
        QVERIFY(!button->state().invisible);
        QCOMPARE(button->text(QAccessible::Name), name);
        QVERIFY(button->actionInterface());
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(f.engine.state(), afterPress);
        QVERIFY(!f.engine.isAlerting());

        QStringList grips;
        for (QWidget* child : f.view->findChildren<QWidget*>()) {
            QAccessibleInterface* grip = QAccessible::queryAccessibleInterface(child);
            if (grip && grip->role() == QAccessible::Grip)
                grips << grip->text(QAccessible::Name);
        }
        grips.sort();
        QCOMPARE(grips, (QStringList{"글자 이동", "글자 크기", "크기 조절", "회전"}));
    }

    // With the keyboard on the widget, Space works the button and Escape turns an alert off.
    void keysWorkTheButton() {
        Fixture f;
        f.view->setFocus();
        QTest::keyClick(f.view.get(), Qt::Key_Space);
        QCOMPARE(f.engine.state(), TimerState::running);
        QTest::keyClick(f.view.get(), Qt::Key_Space);
        QCOMPARE(f.engine.state(), TimerState::paused);
        QTest::keyClick(f.view.get(), Qt::Key_Escape);
        QCOMPARE(f.engine.state(), TimerState::paused);
        f.engine.resume();
        f.finish();
        QTest::keyClick(f.view.get(), Qt::Key_Escape);
        QVERIFY(!f.engine.isAlerting());
        // The clock has no button, for the pointer or the keys.
        f.settings.setWidgetMode(WidgetMode::clock);
        f.hover(true);
        QVERIFY(!f.view->findChild<HitArea*>()->isVisible());
        QTest::keyClick(f.view.get(), Qt::Key_Space);
        QCOMPARE(f.engine.state(), TimerState::done);
        QCOMPARE(QAccessible::queryAccessibleInterface(f.view.get())->text(QAccessible::Name),
                 "Purrtick, 현재 시각 " + f.clockEngine.displayText());
    }

    // The alert's pulse draws the time text's own area again and nothing else; while the
    // screen is locked it draws nothing, and the alarm's waves stand still.
    void thePulseRepaintsTheTextAloneAndRestsWhileTheScreenIsLocked() {
        {
            Fixture f;
            f.finish();
            QVERIFY(f.view->isPulsing());
            f.render();
            const QRect text = f.child<DragCatcher>()->geometry();
            QVERIFY(QTest::qWaitForWindowExposed(f.view.get()));
            QTest::qWait(100); // the window's first paint and the new state's own
            PaintRecorder recorder(f.view.get());
            for (int frame = 0; frame < 3; ++frame) {
                recorder.painted = QRegion();
                QTRY_VERIFY(!recorder.painted.isEmpty());
                // The text's box, and as far as its outline, shadow and strokes reach.
                const QRect painted = recorder.painted.boundingRect();
                QVERIFY2(text.adjusted(-24, -12, 24, 12).contains(painted),
                         qPrintable(QString("%1,%2 %3x%4")
                                        .arg(painted.x())
                                        .arg(painted.y())
                                        .arg(painted.width())
                                        .arg(painted.height())));
            }
        }
        Fixture f(false); // no pictures: the drawn symbol cat, whose alarm waves cycle
        f.finish();
        QVERIFY(f.view->isPulsing());
        f.view->setScreenShown(false);
        QVERIFY(!f.view->isPulsing());
        QVERIFY(!f.view->figure().isCycling());
        QVERIFY(f.engine.isAlerting());
        f.view->setScreenShown(true);
        QVERIFY(f.view->isPulsing());
        QVERIFY(f.view->figure().isCycling());
    }

    // A frame of the pulse copies what lies under the text instead of drawing the cat again:
    // the window shows what a whole paint at the same level gives, on a photo that the
    // finished state enlarges as on the built-in cat.
    void aPulseFrameShowsWhatAWholePaintGives_data() {
        QTest::addColumn<bool>("photo");
        QTest::newRow("built-in cat") << false;
        QTest::newRow("photo") << true;
    }
    void aPulseFrameShowsWhatAWholePaintGives() {
        QFETCH(bool, photo);
        Fixture f;
        if (photo) {
            const QString name = *f.library.addPNG(pngBytes({400, 300}, QColor(40, 160, 90)));
            f.settings.setCustomCatFileName(name);
            f.skins->setSelectedID("custom");
            QVERIFY(f.shownPhoto());
        }
        f.settings.setCatRotation(20);
        f.finish();
        f.view->finishAnimations();
        QVERIFY(QTest::qWaitForWindowExposed(f.view.get()));
        QTest::qWait(100);
        auto shown = [&] { return f.view->screen()->grabWindow(f.view->winId()).toImage(); };
        PaintRecorder recorder(f.view.get());
        for (int frame = 0; frame < 4; ++frame) {
            recorder.painted = QRegion();
            QTRY_VERIFY(!recorder.painted.isEmpty());
            QVERIFY(recorder.painted.boundingRect().width() < f.view->width());
            const QImage inFrames = shown();
            f.view->repaint(); // whole, at the level shown (the next frame is 40 ms away at least)
            // (The copy of the premultiplied backdrop may round a channel by one.)
            QVERIFY(largestDifference(inFrames, shown()) <= 1);
        }
    }

    void hiddenCountLeavesOnlyTheCat() {
        Fixture f;
        f.settings.setTimerFillColor(QColor(0, 255, 0));
        f.layout.setHideCountUnlessHover(true);
        QCOMPARE(countNear(f.render(), QRect(0, 0, 180, 190), QColor(0, 255, 0)), 0);
        f.hover(true);
        QVERIFY(countNear(f.render(), QRect(0, 0, 180, 190), QColor(0, 255, 0), 90) > 100);
    }

    // The longest text, a 12-hour clock with seconds at a two-digit hour, stays inside the
    // window's sides at any text size and scale, outline included.
    void theLongestClockTextStaysInside_data() {
        QTest::addColumn<double>("font");
        QTest::addColumn<double>("scale");
        QTest::newRow("default size") << 30.0 << 1.0;
        QTest::newRow("largest size") << LayoutStore::kMaxFontSize << 1.0;
        QTest::newRow("largest size at scale 3") << LayoutStore::kMaxFontSize << 3.0;
    }
    void theLongestClockTextStaysInside() {
        QFETCH(double, font);
        QFETCH(double, scale);
        Fixture f;
        f.settings.setClockTimeZoneID(QStringLiteral("UTC"));
        f.settings.setClockUse24Hour(false);
        f.settings.setClockShowSeconds(true);
        f.settings.setClockShowAMPM(true);
        f.settings.setTimerFillColor(QColor(0, 255, 0));
        f.clock.set(QDateTime(QDate(2026, 1, 15), QTime(22, 58, 58), Qt::UTC));
        f.clockEngine.refresh();
        f.settings.setWidgetMode(WidgetMode::clock);
        f.layout.setTimerFontSize(font);
        f.layout.setScale(scale);
        f.resize();
        QCOMPARE(f.view->displayText(), QStringLiteral("10:58:58 PM"));
        const QImage image = f.render();
        const int edge = int(std::lround(4 * scale));
        QCOMPARE(countNear(image, QRect(0, 0, edge, image.height()), QColor(0, 255, 0)), 0);
        QCOMPARE(countNear(image, QRect(image.width() - edge, 0, edge, image.height()),
                           QColor(0, 255, 0)),
                 0);
        QVERIFY(countNear(image, image.rect(), QColor(0, 255, 0)) > 200);
    }

    void photoAndItsFallbacks() {
        Fixture f;
        const QString normal = *f.library.addPNG(pngBytes({100, 200}, Qt::green));
        const QString done = *f.library.addPNG(pngBytes({50, 50}, Qt::red));
        f.skins->setSelectedID("custom");
        QVERIFY(!f.shownPhoto());
        QCOMPARE(f.view->geometry().contentRect(), QRectF(0, 0, 180, 190));
        f.settings.setCustomCatFileName(normal);
        QCOMPARE(f.shownPhoto()->size(), QSize(100, 200));
        QCOMPARE(f.view->geometry().contentRect(), QRectF(42.5, 0, 95, 190));
        f.settings.setCustomCatDoneFileName(QString("missing.png"));
        f.finish();
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("사진을 읽지 못했습니다: missing.png"));
        QCOMPARE(f.shownPhoto()->size(), QSize(100, 200));
        f.settings.setCustomCatDoneFileName(done);
        QCOMPARE(f.shownPhoto()->size(), QSize(50, 50));
        f.settings.setWidgetMode(WidgetMode::clock);
        QCOMPARE(f.shownPhoto()->size(), QSize(100, 200));
        f.skins->setSelectedID("bundled:blue");
        QVERIFY(!f.shownPhoto());
    }

    // A photo is decoded off the main thread: the first paint shows neither the photo nor the
    // "choose a photo" placeholder, and the photo appears once it has arrived.
    void aPhotoArrivesAfterTheFirstPaint() {
        Fixture f;
        const QString name = *f.library.addPNG(pngBytes({180, 190}, QColor(0, 255, 0)));
        f.settings.setCustomCatFileName(name);
        f.skins->setSelectedID("custom");
        const QImage first = f.render();
        QVERIFY(f.library.isLoading());
        QCOMPARE(countNear(first, QRect(0, 0, 180, 100), QColor(0, 255, 0)), 0);
        QCOMPARE(countNear(first, QRect(0, 0, 180, 100), QColor(255, 255, 255), 60), 0);
        QTRY_VERIFY(!f.library.isLoading());
        QVERIFY(countNear(f.render(), QRect(0, 0, 180, 100), QColor(0, 255, 0)) > 10000);
    }

    void aViewGoneBeforeItsPhotoArrivesIsLeftAlone() {
        Fixture f;
        const QString name = *f.library.addPNG(pngBytes({600, 400}));
        f.settings.setCustomCatFileName(name);
        f.skins->setSelectedID("custom");
        f.view->customImage();
        QVERIFY(f.library.isLoading());
        f.view.reset();
        QTRY_VERIFY(!f.library.isLoading());
    }

    void rotationAccumulatesPastAFullTurn() {
        Fixture f;
        f.hover(true);
        auto* rotate = f.view->findChild<RotateCatcher*>();
        QVERIFY(rotate && rotate->isVisible());
        f.view->move(200, 200);
        const QPointF centre = QRectF(f.view->frameGeometry()).center();
        // One and a half turns counter-clockwise on screen (y up), in steps of 10 degrees.
        auto at = [&](double degrees) {
            const double r = degrees * std::numbers::pi / 180.0;
            const QPointF global(centre.x() + 60 * std::cos(r), centre.y() - 60 * std::sin(r));
            return rotate->mapFromGlobal(global.toPoint());
        };
        QTest::mousePress(rotate, Qt::LeftButton, {}, at(0));
        for (int degrees = 10; degrees <= 540; degrees += 10)
            QTest::mouseMove(rotate, at(degrees));
        QTest::mouseRelease(rotate, Qt::LeftButton, {}, at(540));
        QVERIFY2(std::abs(f.settings.catRotation() - 180.0) < 2.0,
                 qPrintable(QString::number(f.settings.catRotation())));
    }

    void resizeGripDoublesTheScale() {
        Fixture f;
        auto* resize = f.view->findChild<ResizeHandle*>();
        QVERIFY(resize && resize->isVisible()); // also without hover
        const QPointF start = resize->mapToGlobal(QPointF(5, 5));
        sendMouse(resize, QEvent::MouseButtonPress, start);
        sendMouse(resize, QEvent::MouseMove, start + QPointF(55, 55));
        sendMouse(resize, QEvent::MouseMove, start + QPointF(110, 110));
        QCOMPARE(f.layout.scale(), 2.0);
        sendMouse(resize, QEvent::MouseMove, start + QPointF(-500, 0));
        QCOMPARE(f.layout.scale(), 0.6);
        sendMouse(resize, QEvent::MouseButtonRelease, start + QPointF(-500, 0));
    }

    void textDragStopsAtTheEdges() {
        Fixture f;
        f.hover(true);
        const QList<DragCatcher*> catchers = f.dragCatchers();
        QCOMPARE(catchers.size(), 2);
        DragCatcher* text = catchers.at(0);
        DragCatcher* size = catchers.at(1);
        QTest::mousePress(text, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(text, QPoint(5 - 18, 5 + 19)); // 0.1 left, 0.1 down
        QVERIFY(std::abs(f.layout.timerPos().x() - 0.4) < 1e-9);
        QVERIFY(std::abs(f.layout.timerPos().y() - 0.98) < 1e-9);
        QTest::mouseMove(text, QPoint(5 + 5000, 5 - 5000));
        QCOMPARE(f.layout.timerPos(), QPointF(1, 0));
        QTest::mouseRelease(text, Qt::LeftButton, {}, QPoint(0, 0));

        QTest::mousePress(size, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(size, QPoint(2 + 40, 2)); // +40 right: +10
        QCOMPARE(f.layout.timerFontSize(), 40.0);
        QTest::mouseMove(size, QPoint(2 + 2000, 2));
        QCOMPARE(f.layout.timerFontSize(), 90.0);
        QTest::mouseMove(size, QPoint(2 - 2000, 2));
        QCOMPARE(f.layout.timerFontSize(), 12.0);
        QTest::mouseRelease(size, Qt::LeftButton, {}, QPoint(2, 2));
    }

    void gripsAreOnlyHitTestableWithControls() {
        Fixture f;
        QVERIFY(!f.view->findChild<RotateCatcher*>()->isVisible());
        for (DragCatcher* catcher : f.dragCatchers())
            QVERIFY(!catcher->isVisible());
        f.hover(true);
        QVERIFY(f.view->findChild<RotateCatcher*>()->isVisible());
    }

    void symbolCatCyclesItsAlarmWhileRunningAndDone_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("cycling");
        QTest::newRow("idle") << 0 << false;
        QTest::newRow("running") << 1 << true;
        QTest::newRow("paused") << 2 << false;
        QTest::newRow("done") << 3 << true;
    }
    void symbolCatCyclesItsAlarmWhileRunningAndDone() {
        QFETCH(int, state);
        QFETCH(bool, cycling);
        Fixture f(false); // no pictures: the drawn symbol cat
        QCOMPARE(f.skins->skin(), CatSkin::fallback());
        f.enter(state);
        QCOMPARE(f.view->figure().isCycling(), cycling);
        // The orange cat is drawn; in clock mode it always shows its idle look.
        QVERIFY(countNear(f.render(), QRect(40, 30, 100, 110), QColor(0xF2, 0xA8, 0x4C), 30) >
                1500);
        f.settings.setWidgetMode(WidgetMode::clock);
        QVERIFY(!f.view->figure().isCycling());
    }

    // The symbol cat's alarm changes colour every 0.4 s while running and done: only its box
    // is drawn again, and the window shows what one whole paint gives.
    void symbolCatAlarmRepaintsItsBoxAlone_data() {
        QTest::addColumn<int>("state");
        QTest::newRow("running") << 1;
        QTest::newRow("done") << 4; // the alert stopped: its pulse would paint the text as well
    }
    void symbolCatAlarmRepaintsItsBoxAlone() {
        QFETCH(int, state);
        Fixture f(false);
        f.settings.setCatRotation(30); // the box turns with the cat
        f.enter(state);
        f.view->finishAnimations();
        QVERIFY(QTest::qWaitForWindowExposed(f.view.get()));
        // The stopped alert's text fades back in 0.35 s: recorded once it has (on a loaded
        // machine its steps and a first paint can come late).
        QTest::qWait(500);
        f.view->repaint();
        PaintRecorder recorder(f.view.get());
        auto* cycle = f.view->figure().findChild<QTimer*>();
        QVERIFY(cycle && cycle->isActive());
        auto shown = [&] { return f.view->screen()->grabWindow(f.view->winId()).toImage(); };
        QVERIFY(QMetaObject::invokeMethod(cycle, "timeout")); // and whatever else is pending
        QTRY_VERIFY(!recorder.painted.isEmpty());
        for (int step = 0; step < 3; ++step) {
            recorder.painted = QRegion();
            QVERIFY(QMetaObject::invokeMethod(cycle, "timeout"));
            QTRY_VERIFY(!recorder.painted.isEmpty());
            const QRect drawn = recorder.painted.boundingRect();
            QVERIFY2(drawn.width() * drawn.height() < f.view->width() * f.view->height() / 3,
                     qPrintable(QString("%1x%2").arg(drawn.width()).arg(drawn.height())));
            const QImage inParts = shown();
            f.view->repaint();
            // (The turned cat's edge, filtered within a clip, may differ by a few shades.)
            QVERIFY(largestDifference(inParts, shown()) <= 16);
        }
    }

    void badgesForPausedAndDone_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("badge");
        QTest::newRow("paused: yellow pause") << 2 << QColor(0xFF, 0xCC, 0x00);
        QTest::newRow("done: red marks") << 3 << QColor(0xFF, 0x3B, 0x30);
    }
    void badgesForPausedAndDone() {
        QFETCH(int, state);
        QFETCH(QColor, badge);
        Fixture f;
        f.settings.setTimerFillColor(QColor(0, 255, 0));
        f.layout.setTimerPos(QPointF(0.5, 0.9));
        // The badge sits at the top-trailing corner of the picture's 153.6-point square.
        const QRect corner(int(90 + 76.8 - 40), int(95 - 76.8 - 6), 46, 46);
        QCOMPARE(countNear(f.render(), corner, badge, 30), 0);
        f.engine.start();
        if (state == 2)
            f.engine.pause();
        else
            f.finish();
        QVERIFY(countNear(f.render(), corner, badge, 30) > 20);
    }

    // A countdown's next second repaints the glyphs that changed, not the whole text; a text
    // laid out anew repaints all of it, where it was and where it goes.
    void aNewSecondRepaintsOnlyTheGlyphsThatChanged() {
        Fixture f;
        f.engine.setMode(TimerMode::task(10));
        f.engine.start();
        f.view->finishAnimations();
        QVERIFY(QTest::qWaitForWindowExposed(f.view.get()));
        PaintRecorder recorder(f.view.get());

        f.clock.advance(1); // 10:00 to 9:59, one glyph fewer
        f.engine.tick();
        const QRect text = f.dragCatchers().at(0)->geometry(); // the text itself
        QTRY_VERIFY(recorder.painted.boundingRect().contains(text));
        const QRect whole = recorder.painted.boundingRect();

        recorder.painted = QRegion();
        f.clock.advance(1); // 9:59 to 9:58
        f.engine.tick();
        QTRY_VERIFY(!recorder.painted.isEmpty());
        const QRect drawn = recorder.painted.boundingRect();
        QVERIFY2(drawn.width() < whole.width() * 0.6,
                 qPrintable(QString("%1 of %2").arg(drawn.width()).arg(whole.width())));
        QVERIFY(drawn.left() > text.center().x()); // the last digit's
        // What the window shows, painted in parts, is what one whole paint gives.
        auto shown = [&] { return f.view->screen()->grabWindow(f.view->winId()).toImage(); };
        const QImage inParts = shown();
        f.view->repaint();
        QCOMPARE(inParts, shown());
    }

    void scaleRelaysOutEverything() {
        Fixture f;
        f.layout.setScale(3.0);
        f.resize();
        QCOMPARE(f.view->findChild<ResizeHandle*>()->geometry(),
                 QRect(540 - 102, 570 - 102, 90, 90));
        const QImage image = f.render();
        QCOMPARE(image.size(), QSize(540, 570));
        // The blue built-in picture is drawn, large, in the middle.
        QVERIFY(countNear(image, QRect(200, 200, 140, 140), QColor(0, 0, 245), 60) > 10000);
    }
};

QTEST_MAIN(WidgetViewTest)
#include "tst_widget_view.moc"
