// Saves pictures of the about window in each status and of the update windows in each state,
// for looking at:
//   about_screenshots OUTPUT_DIR      (QT_SCALE_FACTOR=2 for a 2x display)
#include "about/about_view.h"
#include "about/about_view_model.h"
#include "http_test_server.h"
#include "updates/update_view.h"

#include <QApplication>
#include <QDir>
#include <QNetworkAccessManager>
#include <QStyleFactory>
#include <QTest>

namespace {

QByteArray feedWith(const QByteArray& version) {
    return "<rss xmlns:sparkle=\"s\"><channel><item><sparkle:shortVersionString>" + version +
           "</sparkle:shortVersionString></item></channel></rss>";
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(QIcon(QStringLiteral(PURRTICK_ICON)));
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    const QString suffix = QStringLiteral("@%1x.png").arg(app.devicePixelRatio());
    auto save = [&](QWidget& widget, const QString& name) {
        QApplication::processEvents();
        widget.grab().save(dir + u'/' + name + suffix);
    };

    HttpTestServer server;
    server.route("/newer", {HttpTestServer::Response::Kind::answer, 200, feedWith("1.4.0"), {}, 0});
    server.route("/same", {HttpTestServer::Response::Kind::answer, 200, feedWith("0.1.0"), {}, 0});
    HttpTestServer::Response silent;
    silent.kind = HttpTestServer::Response::Kind::silent;
    server.route("/silent", silent);
    QNetworkAccessManager network;
    const auto about = [&](const QString& path, const QString& name, bool wait) {
        QVariantMap information{{"CFBundleShortVersionString", "0.1.0"}};
        if (!path.isEmpty())
            information.insert("SUFeedURL", server.url(path).toString());
        AboutView view(
            std::make_unique<AboutViewModel>(information, network, 500), [] {}, [] {});
        view.show();
        if (wait)
            (void)QTest::qWaitFor([&] { return !view.model().loading(); }, 5000);
        save(view, name);
    };
    about("/silent", "about-checking", false);
    about("/newer", "about-newer", true);
    about("/same", "about-up-to-date", true);
    about("/silent", "about-failed", true);
    about(QString(), "about-no-feed", true);

    UpdateView update({});
    update.show();
    update.showChecking();
    save(update, "update-checking");
    update.showUpToDate("0.1.0");
    save(update, "update-up-to-date");
    update.showFailure("서버가 응답하지 않습니다 (10초)");
    save(update, "update-failed");
    Appcast::Item item;
    item.version = "1.4.0";
    item.description = "<h3>새로운 점</h3><ul><li>고양이 탭에서 사진을 고를 수 있어요</li>"
                       "<li>시계 모드의 초 표시가 더 부드러워졌어요</li></ul>"
                       "<p><img src=\"https://example.org/tracker.png\"> "
                       "<a href=\"https://example.org\">자세히</a></p>";
    update.showUpdate(item, "0.1.0");
    save(update, "update-available");
    update.showInstalling(37 * 1024 * 1024, 92 * 1024 * 1024);
    save(update, "update-installing");
    update.showInstalled();
    save(update, "update-installed");
    AutomaticChecksQuestion question([](bool) {});
    question.show();
    save(question, "update-question");
    return 0;
}
