#include "about/about_view_model.h"
#include "http_test_server.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>

using Response = HttpTestServer::Response;
Q_DECLARE_METATYPE(Response)

namespace {

QByteArray feed(const QByteArray& items) {
    return "<?xml version=\"1.0\"?><rss xmlns:sparkle=\"http://www.andymatuschak.org/"
           "xml-namespaces/sparkle\"><channel>" +
           items + "</channel></rss>";
}

QByteArray item(const QByteArray& version) {
    return "<item><sparkle:shortVersionString>" + version + "</sparkle:shortVersionString></item>";
}

Response answer(const QByteArray& body, int status = 200) {
    Response response;
    response.body = body;
    response.status = status;
    return response;
}

// The dictionary of an installed 1.2.0 whose feed is at `url`.
QVariantMap installed(const QUrl& url) {
    return {{"CFBundleShortVersionString", "1.2.0"}, {"SUFeedURL", url.toString()}};
}

constexpr int kShortTimeoutMs = 400;

} // namespace

// The about window's version check against a real HTTP server on 127.0.0.1.
class AboutViewModelTest : public QObject {
    Q_OBJECT

    HttpTestServer m_server;
    QNetworkAccessManager m_network;

    // Runs one check of the feed at `path` to its end.
    std::unique_ptr<AboutViewModel> check(const QString& path) {
        auto model = std::make_unique<AboutViewModel>(installed(m_server.url(path)), m_network,
                                                      kShortTimeoutMs);
        model->refresh();
        if (model->loading())
            [&] { QTRY_VERIFY_WITH_TIMEOUT(!model->loading(), 20000); }();
        return model;
    }

private slots:
    void feeds_data() {
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("latest"); // "<none>": absent
        QTest::addColumn<QString>("error");  // what the message contains; empty: none
        QTest::addColumn<bool>("hasUpdate");
        QTest::newRow("newer") << answer(feed(item("1.4.0"))) << "1.4.0"
                               << "" << true;
        QTest::newRow("same") << answer(feed(item("1.2"))) << "1.2"
                              << "" << false;
        QTest::newRow("older") << answer(feed(item("1.1.9"))) << "1.1.9"
                               << "" << false;
        QTest::newRow("spaces and a line break") << answer(feed(item(" 1.4.0\n"))) << "1.4.0"
                                                 << "" << true;
        QTest::newRow("two items, the first wins")
            << answer(feed(item("1.3") + item("9.0"))) << "1.3"
            << "" << true;
        QTest::newRow("empty element") << answer(feed("<sparkle:shortVersionString/>")) << ""
                                       << "" << false;
        QTest::newRow("no element") << answer(feed("<item/>")) << "<none>"
                                    << "appcast 파싱 실패" << false;
        QTest::newRow("only an attribute")
            << answer(feed("<enclosure sparkle:shortVersionString=\"9\"/>")) << "<none>"
            << "appcast 파싱 실패" << false;
        // The status is not examined: a 404 page is read, and has no version.
        QTest::newRow("404 page") << answer("<html>Not Found</html>", 404) << "<none>"
                                  << "appcast 파싱 실패" << false;
        QTest::newRow("feed behind a 500 status") << answer(feed(item("2.0")), 500) << "2.0"
                                                  << "" << true;
        Response large;
        large.kind = Response::Kind::large;
        large.size = 50 * 1024 * 1024;
        QTest::newRow("50 MB body") << large << "<none>"
                                    << "5 MB" << false;
        Response endless;
        endless.kind = Response::Kind::endless;
        QTest::newRow("body that never ends") << endless << "<none>"
                                              << "5 MB" << false;
        Response silent;
        silent.kind = Response::Kind::silent;
        QTest::newRow("server that never answers") << silent << "<none>"
                                                   << "응답하지 않습니다" << false;
        QTest::newRow("entity expansion")
            << answer("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaa\">"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><r>&b;</r>")
            << "<none>"
            << "DTD" << false;
    }
    void feeds() {
        QFETCH(Response, response);
        QFETCH(QString, latest);
        QFETCH(QString, error);
        QFETCH(bool, hasUpdate);
        const QString path = "/" + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
        m_server.route(path, response);
        const auto model = check(path);
        QCOMPARE(model->latestVersion().value_or("<none>"), latest);
        if (error.isEmpty())
            QVERIFY2(!model->errorMessage(), qPrintable(model->errorMessage().value_or("")));
        else
            QVERIFY2(model->errorMessage().value_or("").contains(error),
                     qPrintable(model->errorMessage().value_or("<none>")));
        QCOMPARE(model->hasUpdate(), hasUpdate);
        QCOMPARE(m_server.requests(path), 1);
    }

    void redirects_data() {
        QTest::addColumn<int>("hops");
        QTest::addColumn<bool>("read");
        QTest::newRow("one") << 1 << true;
        QTest::newRow("five") << 5 << true;
        QTest::newRow("six") << 6 << false;
    }
    void redirects() {
        QFETCH(int, hops);
        QFETCH(bool, read);
        const QString base = QStringLiteral("/hop-%1-").arg(hops);
        for (int i = 0; i < hops; ++i)
            m_server.redirect(base + QString::number(i),
                              m_server.url(base + QString::number(i + 1)));
        m_server.route(base + QString::number(hops), answer(feed(item("3.0"))));
        const auto model = check(base + "0");
        // Each hop is one request, whatever Qt's connections do.
        for (int i = 0; i < std::min(hops, BoundedDownload::kMaxRedirects + 1); ++i)
            QCOMPARE(m_server.requests(base + QString::number(i)), 1);
        QCOMPARE(model->latestVersion().has_value(), read);
        if (!read)
            QVERIFY(model->errorMessage().value_or("").contains("리디렉션"));
    }

    void redirectRules_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("hop");
        QTest::addColumn<bool>("followed");
        QTest::newRow("https to https") << "https://a.org/f"
                                        << "https://b.org/f" << 1 << true;
        QTest::newRow("http to https") << "http://a.org/f"
                                       << "https://a.org/f" << 1 << true;
        QTest::newRow("https to http") << "https://a.org/f"
                                       << "http://a.org/f" << 1 << false;
        QTest::newRow("to file") << "http://a.org/f"
                                 << "file:///etc/passwd" << 1 << false;
        QTest::newRow("to ftp") << "https://a.org/f"
                                << "ftp://a.org/f" << 1 << false;
    }
    void redirectRules() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, hop);
        QFETCH(bool, followed);
        QCOMPARE(!BoundedDownload::refusedRedirect(QUrl(from), QUrl(to), hop).has_value(),
                 followed);
    }

    // No address: the package manager updates it; no failure, nothing asked of the network.
    void noFeedAddress() {
        AboutViewModel model({{"CFBundleShortVersionString", "1.0"}}, m_network);
        QSignalSpy changed(&model, &AboutViewModel::changed);
        model.refresh();
        QVERIFY(!model.errorMessage());
        QVERIFY(model.updatesByPackageManager());
        QCOMPARE(changed.count(), 0);
        QVERIFY(!model.loading());
        QVERIFY(!model.latestVersion());
        QVERIFY(!model.hasUpdate());
        QCOMPARE(model.currentVersion(), QStringLiteral("1.0"));
    }

    // A check while one runs is not started twice; a model gone during a check is harmless.
    void overlappingAndAbandonedChecks() {
        Response silent;
        silent.kind = Response::Kind::silent;
        m_server.route("/slow", silent);
        auto model =
            std::make_unique<AboutViewModel>(installed(m_server.url("/slow")), m_network, 5000);
        model->refresh();
        model->refresh();
        QVERIFY(model->loading());
        QTRY_COMPARE(m_server.requests("/slow"), 1);
        model.reset();
        QTest::qWait(100);

        // The previous version stays shown while a new check runs.
        m_server.route("/v", answer(feed(item("1.5"))));
        auto again = std::make_unique<AboutViewModel>(installed(m_server.url("/v")), m_network);
        again->refresh();
        QTRY_VERIFY(!again->loading());
        m_server.route("/v", answer(feed(item("1.6"))));
        again->refresh();
        QVERIFY(again->loading());
        QCOMPARE(again->latestVersion(), QStringLiteral("1.5"));
        QTRY_COMPARE(again->latestVersion(), QStringLiteral("1.6"));
    }

    // A failed transfer keeps the version read before.
    void transportErrorKeepsTheLastVersion() {
        m_server.route("/ok", answer(feed(item("1.7"))));
        AboutViewModel model(installed(m_server.url("/ok")), m_network, kShortTimeoutMs);
        model.refresh();
        QTRY_VERIFY(!model.loading());
        Response silent;
        silent.kind = Response::Kind::silent;
        m_server.route("/ok", silent);
        model.refresh();
        QTRY_VERIFY_WITH_TIMEOUT(!model.loading(), 10000);
        QCOMPARE(model.latestVersion(), QStringLiteral("1.7"));
        QVERIFY(model.errorMessage());
    }
};

QTEST_GUILESS_MAIN(AboutViewModelTest)
#include "tst_about_view_model.moc"
