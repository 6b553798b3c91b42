// Renders the widget in every timer state and in clock mode, with a built-in cat, the drawn
// symbol cat and a photo, at scales 0.6, 1 and 3 (and at 2x), over a desktop-like
// background, into PNG files for looking at.
//   widget_screenshots OUTDIR
#include "cats/bundled_cat.h"
#include "cats/custom_cat.h"
#include "cats/image_editing.h"
#include "cats/skin_store.h"
#include "platform/alert_sound.h"
#include "platform/clock.h"
#include "settings/key_value_store.h"
#include "settings/layout_store.h"
#include "settings/settings.h"
#include "synthetic/synthetic_cats.h"
#include "timing/clock_engine.h"
#include "timing/timer_engine.h"
#include "widget/widget_view.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QPainter>
#include <QTemporaryDir>

namespace {

// Stands still unless moved, so the finished state can be reached without waiting.
class SteppedClock final : public Clock {
public:
    QDateTime now() const override { return m_now; }
    void advance(int seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now = QDateTime::currentDateTimeUtc();
};

class SilentSound final : public AlertSound {
public:
    void play() override {}
};

// A gradient with a few shapes, as a wallpaper would be, so outline and shadow can be judged.
void paintDesktop(QPainter& painter, const QRect& rect) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    gradient.setColorAt(0, QColor(0x3A, 0x6E, 0xA5));
    gradient.setColorAt(0.5, QColor(0xE8, 0xD8, 0xB0));
    gradient.setColorAt(1, QColor(0x2E, 0x4A, 0x2E));
    painter.fillRect(rect, gradient);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("widget-shots");
    QDir().mkpath(out);

    QTemporaryDir home;
    KeyValueStore store(home.filePath(QStringLiteral("Purrtick.conf")));
    Settings settings(store);
    LayoutStore layout(settings);
    SteppedClock clock;
    SilentSound sound;
    TimerEngine engine(settings, clock, sound);
    ClockEngine clockEngine(settings, clock);
    BundledCat catalogue(BundledCat::findBundle());
    SkinStore skins(settings, catalogue);
    CustomCat library(home.filePath(QStringLiteral("Purrtick")), settings);
    const SyntheticCat photo = makeSyntheticCat(0, QSize(900, 1200));
    settings.setCustomCatFileName(
        library.addPNG(ImageEditing::pngData(photo.picture).value_or(QByteArray())));

    WidgetView view(engine, clockEngine, skins, layout, settings, library);
    WidgetView* current = &view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();

    struct Look {
        QString name;
        std::function<void()> apply;
    };
    const QString firstBuiltIn =
        catalogue.skins().isEmpty() ? QStringLiteral("cheese") : catalogue.skins().front().id;
    const QList<Look> skinLooks{
        {QStringLiteral("builtin"), [&] { skins.setSelectedID(firstBuiltIn); }},
        {QStringLiteral("symbol"), [&] { skins.setSelectedID(QStringLiteral("bundled:none")); }},
        {QStringLiteral("photo"), [&] { skins.setSelectedID(QStringLiteral("custom")); }}};
    const QList<Look> states{{QStringLiteral("idle"),
                              [&] {
                                  settings.setWidgetMode(WidgetMode::timer);
                                  engine.reset();
                              }},
                             {QStringLiteral("running"),
                              [&] {
                                  engine.reset();
                                  engine.start();
                                  clock.advance(83);
                                  engine.tick();
                              }},
                             {QStringLiteral("paused"), [&] { engine.pause(); }},
                             {QStringLiteral("done"),
                              [&] {
                                  engine.setMode(TimerMode::workDuration(0, 0));
                                  engine.reset();
                                  engine.start();
                                  clock.advance(1);
                                  engine.tick();
                              }},
                             {QStringLiteral("hover"),
                              [&] {
                                  engine.stopAlert();
                                  engine.setMode(TimerMode::defaultMode());
                                  engine.reset();
                                  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
                                  QApplication::sendEvent(current, &enter);
                              }},
                             {QStringLiteral("clock"), [&] {
                                  QEvent leave(QEvent::Leave);
                                  QApplication::sendEvent(current, &leave);
                                  settings.setWidgetMode(WidgetMode::clock);
                              }}};

    // The symbol cat shows when the selected id names no picture and there are none; a
    // catalogue without pictures stands in for that.
    BundledCat empty(QStringLiteral("/nonexistent"));
    SkinStore symbolSkins(settings, empty);

    for (double scale : {0.6, 1.0, 3.0}) {
        layout.setScale(scale);
        for (const Look& skin : skinLooks) {
            std::unique_ptr<WidgetView> symbolView;
            WidgetView* shown = &view;
            if (skin.name == QStringLiteral("symbol")) {
                symbolView = std::make_unique<WidgetView>(engine, clockEngine, symbolSkins, layout,
                                                          settings, library);
                symbolView->setAttribute(Qt::WA_DontShowOnScreen);
                symbolView->show();
                shown = symbolView.get();
            } else {
                skin.apply();
            }
            current = shown;
            const QSize size(int(180 * scale), int(190 * scale));
            QImage sheet(QSize(size.width() * int(states.size()), size.height()) * 2,
                         QImage::Format_ARGB32_Premultiplied);
            sheet.setDevicePixelRatio(2.0);
            {
                QPainter painter(&sheet);
                paintDesktop(painter, QRect(QPoint(0, 0), sheet.size() / 2));
                int column = 0;
                for (const Look& state : states) {
                    state.apply();
                    shown->resize(size);
                    // Photos arrive from a background decode: ask for the one this state
                    // shows and wait for it.
                    shown->customImage();
                    while (library.isLoading())
                        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                    shown->finishAnimations();
                    QPixmap pixmap(size * 2);
                    pixmap.setDevicePixelRatio(2.0);
                    pixmap.fill(Qt::transparent);
                    shown->render(&pixmap);
                    painter.drawPixmap(column * size.width(), 0, pixmap);
                    ++column;
                }
            }
            settings.setWidgetMode(WidgetMode::timer);
            const QString file = QStringLiteral("%1/%2-scale%3.png").arg(out, skin.name).arg(scale);
            sheet.save(file);
            qInfo("%s", qPrintable(file));
        }
    }
    return 0;
}
