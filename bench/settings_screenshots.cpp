// Saves pictures of every tab of the settings window, in a light and a dark palette, for
// looking at:
//   settings_screenshots OUTPUT_DIR      (QT_SCALE_FACTOR=2 for a 2x display)

#include "settings_world.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>

namespace {

QPalette darkPalette() {
    QPalette p;
    const QColor window(0x2B, 0x2B, 0x2E), base(0x1E, 0x1E, 0x20), text(0xEE, 0xEE, 0xEE);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3E));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0x3D, 0x8B, 0xF5));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0xEE, 0xEE, 0xEE, 0x99));
    p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x55));
    p.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x4A));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x33));
    p.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x22));
    p.setColor(QPalette::Shadow, Qt::black);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0xEE, 0xEE, 0xEE, 0x66));
    return p;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    const QString suffix = QStringLiteral("@%1x.png").arg(app.devicePixelRatio());

    // A development run: the login switch is refused, showing the warning.
    SettingsWorld world(false);
    Settings& settings = world.settings;
    TimerEngine& engine = world.engine;

    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        settings.setWidgetMode(WidgetMode::timer);
        engine.setMode(TimerMode::task(25));
        SettingsView view(
            world.models(), [] {},
            [](const QColor& c, QWidget*) { return std::optional<QColor>(c); });
        view.show();
        const QString look = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
        auto save = [&](const QString& name) {
            QTest::qWait(200);
            view.grab().save(dir + u'/' + name + look + suffix);
        };
        const QStringList names = {QStringLiteral("mode"), QStringLiteral("display"),
                                   QStringLiteral("alert"), QStringLiteral("launch"),
                                   QStringLiteral("cat")};
        for (int i = 0; i < view.tabs()->count(); ++i) {
            view.tabs()->setCurrentIndex(i);
            save(names[i]);
        }
        view.tabs()->setCurrentIndex(0);
        engine.setMode(TimerMode::workOff(18, 30));
        view.hide();
        view.show();
        save(QStringLiteral("mode-commute-clock"));
        engine.setMode(TimerMode::workDuration(9, 0));
        view.hide();
        view.show();
        save(QStringLiteral("mode-commute-duration"));
        settings.setWidgetMode(WidgetMode::clock);
        save(QStringLiteral("mode-clock"));
        view.tabs()->setCurrentIndex(3);
        view.findChild<QAbstractButton*>(QStringLiteral("launchAtLogin"))->click();
        save(QStringLiteral("launch-refused"));
    }
    return 0;
}
