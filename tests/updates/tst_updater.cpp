#include "fake_clock.h"
#include "http_test_server.h"
#include "settings/setting_keys.h"
#include "temp_store.h"
#include "updates/updater.h"

#include <QNetworkAccessManager>
#include <QTest>

namespace {

// Each test has its feed at a path of its own, so that request counts start at 0.
QString feedPath() {
    return QStringLiteral("/feed-") + QString::fromLatin1(QTest::currentTestFunction());
}

QByteArray feedWith(const QByteArray& version, const QByteArray& link = "https://example.org/r") {
    return "<rss xmlns:sparkle=\"s\"><channel><item><title>Purrtick " + version + "</title><link>" +
           link + "</link><sparkle:shortVersionString>" + version +
           "</sparkle:shortVersionString><description><![CDATA[<p>notes</p>]]></description>"
           "<enclosure url=\"https://example.org/p.AppImage\" length=\"10\"/></item></channel>"
           "</rss>";
}

// What the windows were asked to show, in order.
class RecordingInterface final : public UpdateUserInterface {
public:
    void askAboutAutomaticChecks() override { events << "ask"; }
    void showChecking() override { events << "checking"; }
    void showUpToDate(const QString& installed) override { events << "up to date " + installed; }
    void showFailure(const QString& reason) override { events << "failure " + reason; }
    void showUpdate(const Appcast::Item& item, const QString&, bool quiet) override {
        events << (quiet ? "quiet update " : "update ") + item.version;
        notes = item.description;
    }
    QString notes;
    void showInstalling(qint64, qint64) override {}
    void showInstalled() override { events << "installed"; }
    void showInstallFailure(const QString& reason) override {
        events << "install failure " + reason;
    }
    void closeUpdate() override { events << "close"; }
    QStringList events;
};

} // namespace

// The updater: when it asks, when it checks by itself, what it offers and what it remembers.
class UpdaterTest : public QObject {
    Q_OBJECT

    HttpTestServer m_server;
    QNetworkAccessManager m_network;

    struct Fixture {
        Fixture(HttpTestServer& server, QNetworkAccessManager& network, bool withFeed = true)
            : updater(
                  kv, clock, network,
                  withFeed ? QVariantMap{{"CFBundleShortVersionString", "1.2.0"},
                                         {"SUFeedURL", server.url(feedPath()).toString()}}
                           : QVariantMap{{"CFBundleShortVersionString", "1.2.0"}},
                  [this](const QUrl& url) {
                      opened << url;
                      return true;
                  },
                  500) {
            updater.setUserInterface(&ui);
        }
        // Runs a launch and waits for any check it started.
        void launch() {
            updater.start();
            QTRY_VERIFY(!updater.isChecking());
        }
        KeyValueStore& store() { return kv; }

        TempStore temp;
        // One store for the whole fixture: opening the temporary store again replaces it.
        KeyValueStore& kv = temp.open();
        FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC)};
        RecordingInterface ui;
        QList<QUrl> opened;
        Updater updater;
    };

private slots:
    void init() {
        m_server.route(feedPath(),
                       {HttpTestServer::Response::Kind::answer, 200, feedWith("1.3.0"), {}, 0});
    }

    // The first launch asks nothing; the second asks once; an answer is remembered.
    void askedOnceFromTheSecondLaunch() {
        Fixture f(m_server, m_network);
        f.launch();
        QCOMPARE(f.ui.events, QStringList());
        QCOMPARE(m_server.requests(feedPath()), 0);
        f.launch();
        QCOMPARE(f.ui.events, QStringList({"ask"}));
        QCOMPARE(m_server.requests(feedPath()), 0);

        // Allowed: a quiet check at once, which finds 1.3.0.
        f.updater.setAutomaticChecks(true);
        QTRY_COMPARE(f.ui.events, QStringList({"ask", "quiet update 1.3.0"}));
        QCOMPARE(f.temp.readBack()->value("SUEnableAutomaticChecks").toString(), "true");
        // Not asked again.
        f.ui.events.clear();
        f.launch();
        QVERIFY(!f.ui.events.contains("ask"));
    }

    void noFeedNoQuestionNoCheck() {
        Fixture f(m_server, m_network, false);
        f.launch();
        f.launch();
        QCOMPARE(f.ui.events, QStringList());
        f.updater.checkForUpdates();
        QCOMPARE(f.ui.events,
                 QStringList({"failure 이 Purrtick은 패키지 관리자가 업데이트를 관리합니다"}));
    }

    // Automatic checks happen at most once a day, by the injected clock.
    void dailySchedule() {
        Fixture f(m_server, m_network);
        SettingKeys::write(f.store(), SettingKeys::hasLaunchedBefore, true);
        f.updater.setAutomaticChecks(true);
        QTRY_COMPARE(m_server.requests(feedPath()), 1);
        QTRY_VERIFY(!f.updater.isChecking());
        f.clock.advance(23 * 3600);
        f.updater.checkIfDue();
        f.launch();
        QCOMPARE(m_server.requests(feedPath()), 1);
        f.clock.advance(3600);
        f.updater.checkIfDue();
        QTRY_COMPARE(m_server.requests(feedPath()), 2);
        // A clock set back a week makes the next check due.
        QTRY_VERIFY(!f.updater.isChecking());
        f.clock.advance(-7 * 24 * 3600);
        QVERIFY(f.updater.isCheckDue());
        // Switched off: no check however long it has been.
        f.updater.setAutomaticChecks(false);
        f.clock.advance(30 * 24 * 3600);
        f.updater.checkIfDue();
        QTest::qWait(50);
        QCOMPARE(m_server.requests(feedPath()), 2);
    }

    // A skipped version is not offered again by itself, but is when the user asks; a newer one
    // is offered again.
    void skipAndLater() {
        Fixture f(m_server, m_network);
        SettingKeys::write(f.store(), SettingKeys::hasLaunchedBefore, true);
        f.updater.setAutomaticChecks(true);
        QTRY_COMPARE(f.ui.events, QStringList({"quiet update 1.3.0"}));
        f.updater.skipVersion();
        QCOMPARE(f.temp.readBack()->value("SUSkippedVersion").toString(), "1.3.0");
        f.clock.advance(25 * 3600);
        f.ui.events.clear();
        f.updater.checkIfDue();
        QTRY_VERIFY(!f.updater.isChecking());
        QTRY_COMPARE(m_server.requests(feedPath()), 2);
        QCOMPARE(f.ui.events, QStringList());
        f.updater.checkForUpdates();
        QTRY_COMPARE(f.ui.events, QStringList({"checking", "update 1.3.0"}));

        m_server.route(feedPath(),
                       {HttpTestServer::Response::Kind::answer, 200, feedWith("1.4.0"), {}, 0});
        f.updater.remindLater();
        f.clock.advance(25 * 3600);
        f.ui.events.clear();
        f.updater.checkIfDue();
        QTRY_COMPARE(f.ui.events, QStringList({"quiet update 1.4.0"}));
        QCOMPARE(f.temp.readBack()->value("SUSkippedVersion").toString(), "1.3.0");
    }

    void userCheckOutcomes() {
        Fixture f(m_server, m_network);
        m_server.route(feedPath(),
                       {HttpTestServer::Response::Kind::answer, 200, feedWith("1.2"), {}, 0});
        f.updater.checkForUpdates();
        QTRY_COMPARE(f.ui.events, QStringList({"checking", "up to date 1.2.0"}));
        f.ui.events.clear();
        m_server.route(feedPath(), {HttpTestServer::Response::Kind::answer, 200, "<rss/>", {}, 0});
        f.updater.checkForUpdates();
        QTRY_COMPARE(f.ui.events, QStringList({"checking", "failure appcast 파싱 실패"}));
        // A failure is not counted as a check.
        f.ui.events.clear();
        HttpTestServer::Response silent;
        silent.kind = HttpTestServer::Response::Kind::silent;
        m_server.route(feedPath(), silent);
        const double before = SettingKeys::read(f.store(), SettingKeys::lastUpdateCheck);
        f.clock.advance(60);
        f.updater.checkForUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(f.ui.events.size() == 2, 10000);
        QVERIFY(f.ui.events[1].startsWith("failure "));
        QCOMPARE(SettingKeys::read(f.store(), SettingKeys::lastUpdateCheck), before);
    }

    // Release notes on a page of their own are fetched before the update is shown; a page that
    // cannot be had leaves the update offered without notes.
    void notesFromTheirPage() {
        Fixture f(m_server, m_network);
        const QByteArray feed = "<rss><channel><item><sparkle:shortVersionString>2.0"
                                "</sparkle:shortVersionString><sparkle:releaseNotesLink>" +
                                m_server.url("/notes").toEncoded() +
                                "</sparkle:releaseNotesLink></item></channel></rss>";
        m_server.route(feedPath(), {HttpTestServer::Response::Kind::answer, 200, feed, {}, 0});
        m_server.route(
            "/notes",
            {HttpTestServer::Response::Kind::answer, 200, "<h3>2.0</h3><p>새 고양이</p>", {}, 0});
        f.updater.checkForUpdates();
        QTRY_COMPARE(f.ui.events, QStringList({"checking", "update 2.0"}));
        QCOMPARE(f.ui.notes, QStringLiteral("<h3>2.0</h3><p>새 고양이</p>"));
        HttpTestServer::Response large;
        large.kind = HttpTestServer::Response::Kind::large;
        large.size = 3 * 1024 * 1024;
        m_server.route("/notes", large);
        f.ui.events.clear();
        f.updater.checkForUpdates();
        QTRY_COMPARE(f.ui.events, QStringList({"checking", "update 2.0"}));
        QCOMPARE(f.ui.notes, QString());
    }

    // Installing opens the release's page, or the file when the feed gives no page.
    void installOpensTheBrowser() {
        Fixture f(m_server, m_network);
        f.updater.checkForUpdates();
        QTRY_COMPARE(f.ui.events.size(), 2);
        f.updater.install();
        QCOMPARE(f.opened, QList<QUrl>({QUrl("https://example.org/r")}));
        QCOMPARE(f.ui.events.last(), QStringLiteral("close"));

        m_server.route(feedPath(), {HttpTestServer::Response::Kind::answer,
                                    200,
                                    feedWith("1.5", "file:///etc/passwd"),
                                    {},
                                    0});
        f.updater.checkForUpdates();
        QTRY_COMPARE(f.ui.events.last(), QStringLiteral("update 1.5"));
        f.updater.install();
        QCOMPARE(f.opened.last(), QUrl("https://example.org/p.AppImage"));
    }
};

QTEST_GUILESS_MAIN(UpdaterTest)
#include "tst_updater.moc"
