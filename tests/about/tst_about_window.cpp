#include "about/about_view.h"
#include "about/about_view_model.h"
#include "app/secondary_window.h"
#include "app/update_windows.h"
#include "fake_clock.h"
#include "http_test_server.h"
#include "settings/setting_keys.h"
#include "signing_key.h"
#include "temp_store.h"
#include "updates/update_view.h"

#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray feedWith(const QByteArray& version) {
    return "<rss xmlns:sparkle=\"s\"><channel><item><link>https://example.org/r</link>"
           "<sparkle:shortVersionString>" +
           version + "</sparkle:shortVersionString></item></channel></rss>";
}

HttpTestServer::Response answer(const QByteArray& body) {
    HttpTestServer::Response response;
    response.body = body;
    return response;
}

// A left click where the widget is drawn, delivered to its window.
void click(QWidget* widget) {
    QVERIFY(widget && widget->isVisible());
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(widget->window(), widget->rect().center()));
}

} // namespace

// The about window and the update windows, used through their windows.
class AboutWindowTest : public QObject {
    Q_OBJECT

    HttpTestServer m_server;
    QNetworkAccessManager m_network;

    std::unique_ptr<SecondaryWindow> aboutWindow(const QString& path, int* updates) {
        QVariantMap information{{"CFBundleShortVersionString", "1.2.0"}};
        if (!path.isEmpty())
            information.insert("SUFeedURL", m_server.url(path).toString());
        auto window = std::make_unique<SecondaryWindow>(
            "Purrtick 정보", new AboutView(
                                 std::make_unique<AboutViewModel>(information, m_network, 400),
                                 [updates] { ++*updates; }, [] {}));
        return window;
    }

private slots:
    // Each show checks the feed; the status follows the check.
    void statusFollowsTheCheck_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<bool>("updateButton");
        QTest::addColumn<bool>("upToDateNote");
        QTest::newRow("newer") << "/newer"
                               << "1.4.0"
                               << "" << true << false;
        QTest::newRow("same") << "/same"
                              << "1.2"
                              << "" << false << true;
        QTest::newRow("no version") << "/empty"
                                    << "확인 실패"
                                    << "appcast 파싱 실패" << false << false;
        QTest::newRow("no feed, as distributions build it")
            << ""
            << "패키지 관리자가 업데이트를 관리합니다"
            << "" << false << false;
    }
    void statusFollowsTheCheck() {
        QFETCH(QString, path);
        QFETCH(QString, status);
        QFETCH(QString, tooltip);
        QFETCH(bool, updateButton);
        QFETCH(bool, upToDateNote);
        m_server.route("/newer", answer(feedWith("1.4.0")));
        m_server.route("/same", answer(feedWith("1.2")));
        m_server.route("/empty", answer("<rss/>"));
        int updates = 0;
        auto window = aboutWindow(path, &updates);
        window->open();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* latest = window->findChild<QLabel*>("latestVersion");
        QTRY_COMPARE(latest->text(), status);
        QTRY_VERIFY(!window->findChild<QProgressBar*>("checking")->isVisible());
        QCOMPARE(latest->toolTip(), tooltip);
        // Only a failed check is said in the failure colour.
        QCOMPARE(latest->palette().color(QPalette::WindowText) == QColor(0xFF, 0x3B, 0x30),
                 tooltip.startsWith(u'a'));
        QCOMPARE(window->findChild<QPushButton*>("updateNow")->isVisible(), updateButton);
        QCOMPARE(window->findChild<QWidget*>("upToDate")->isVisible(), upToDateNote);
        QCOMPARE(window->findChild<QLabel*>("currentVersion")->text(), QStringLiteral("1.2.0"));
        if (updateButton) {
            click(window->findChild<QPushButton*>("updateNow"));
            QCOMPARE(updates, 1);
        }
        // Opened again: checked again.
        if (!path.isEmpty()) {
            const int before = m_server.requests(path);
            window->close();
            window->open();
            QTRY_COMPARE(m_server.requests(path), before + 1);
        }
    }

    // The update window's buttons reach the updater: skipping remembers the version,
    // installing opens the release's page.
    void updateWindowButtons() {
        m_server.route("/feed-buttons", answer(feedWith("1.5")));
        TempStore temp;
        FakeClock clock;
        QList<QUrl> opened;
        Updater updater(temp.open(), clock, m_network,
                        {{"CFBundleShortVersionString", "1.2.0"},
                         {"SUFeedURL", m_server.url("/feed-buttons").toString()}},
                        [&opened](const QUrl& url) {
                            opened << url;
                            return true;
                        });
        UpdateWindows windows(updater);
        updater.setUserInterface(&windows);
        updater.checkForUpdates();
        QVERIFY(windows.updateWindow()->isVisible());
        auto* view = static_cast<UpdateView*>(windows.updateWindow()->content());
        QCOMPARE(view->state(), UpdateView::State::checking);
        QTRY_COMPARE(view->state(), UpdateView::State::update);
        QVERIFY(QTest::qWaitForWindowExposed(windows.updateWindow()));
        QTRY_COMPARE(windows.updateWindow()->size(), QSize(440, 320));
        click(windows.updateWindow()->findChild<QPushButton*>("skip"));
        QVERIFY(!windows.updateWindow()->isVisible());
        QCOMPARE(temp.readBack()->value("SUSkippedVersion").toString(), QStringLiteral("1.5"));

        updater.checkForUpdates();
        QTRY_COMPARE(view->state(), UpdateView::State::update);
        QVERIFY(QTest::qWaitForWindowExposed(windows.updateWindow()));
        // The window takes the size the release notes need.
        QTRY_COMPARE(windows.updateWindow()->size(), QSize(440, 320));
        click(windows.updateWindow()->findChild<QPushButton*>("install"));
        QCOMPARE(opened, QList<QUrl>({QUrl("https://example.org/r")}));
        QVERIFY(!windows.updateWindow()->isVisible());
    }

    // Running from an AppImage: "업데이트 설치" downloads the signed file, puts it in place and
    // offers "다시 시작"; a file whose signature does not match is not installed, and the window
    // says the installation failed (the check itself worked).
    void appImageUpdatesInPlace_data() {
        QTest::addColumn<bool>("signatureMatches");
        QTest::newRow("signed") << true;
        QTest::newRow("a signature of other bytes") << false;
    }
    void appImageUpdatesInPlace() {
        QFETCH(bool, signatureMatches);
        QTemporaryDir dir;
        const QString appImage = dir.filePath("Purrtick.AppImage");
        {
            QFile file(appImage);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        SigningKey key;
        const QByteArray fresh(64 * 1024, 'a');
        m_server.route("/Purrtick-1.5.AppImage", answer(fresh));
        const QByteArray feed =
            "<rss xmlns:sparkle=\"s\"><channel><item><sparkle:shortVersionString>1.5"
            "</sparkle:shortVersionString><enclosure url=\"" +
            m_server.url("/Purrtick-1.5.AppImage").toEncoded() + "\" length=\"" +
            QByteArray::number(fresh.size()) + "\" sparkle:edSignature=\"" +
            key.sign(signatureMatches ? fresh : QByteArray("other")).toBase64() +
            "\"/></item></channel></rss>";
        m_server.route("/feed-appimage", answer(feed));
        TempStore temp;
        FakeClock clock;
        Updater updater(temp.open(), clock, m_network,
                        {{"CFBundleShortVersionString", "1.2.0"},
                         {"SUFeedURL", m_server.url("/feed-appimage").toString()}},
                        [](const QUrl&) { return false; });
        int relaunched = 0;
        updater.installInPlace(appImage, QString::fromLatin1(key.publicKey().toBase64()),
                               [&relaunched] { ++relaunched; });
        UpdateWindows windows(updater);
        updater.setUserInterface(&windows);
        updater.checkForUpdates();
        auto* view = static_cast<UpdateView*>(windows.updateWindow()->content());
        QTRY_COMPARE(view->state(), UpdateView::State::update);
        QVERIFY(QTest::qWaitForWindowExposed(windows.updateWindow()));
        QTRY_COMPARE(windows.updateWindow()->size(), QSize(440, 320));
        click(windows.updateWindow()->findChild<QPushButton*>("install"));
        if (!signatureMatches) {
            QTRY_COMPARE(view->state(), UpdateView::State::failure);
            const QList<QLabel*> labels = view->findChildren<QLabel*>();
            QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
                return label->isVisible() && label->text() == u"업데이트를 설치하지 못했어요";
            }));
            QFile untouched(appImage);
            QVERIFY(untouched.open(QIODevice::ReadOnly));
            QCOMPARE(untouched.readAll(), QByteArray("old"));
            return;
        }
        QTRY_COMPARE(view->state(), UpdateView::State::installed);
        QFile file(appImage);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), fresh);
        QTRY_COMPARE(windows.updateWindow()->size(), QSize(400, 150));
        click(windows.updateWindow()->findChild<QPushButton*>("restart"));
        QCOMPARE(relaunched, 1);
    }

    // The question, answered with its button, switches automatic checks on.
    void questionAnswered() {
        m_server.route("/feed-question", answer(feedWith("1.2.0")));
        TempStore temp;
        FakeClock clock;
        KeyValueStore& store = temp.open();
        SettingKeys::write(store, SettingKeys::hasLaunchedBefore, true);
        Updater updater(store, clock, m_network,
                        {{"CFBundleShortVersionString", "1.2.0"},
                         {"SUFeedURL", m_server.url("/feed-question").toString()}},
                        [](const QUrl&) { return true; });
        UpdateWindows windows(updater);
        updater.setUserInterface(&windows);
        updater.start();
        QVERIFY(windows.questionWindow());
        QVERIFY(QTest::qWaitForWindowExposed(windows.questionWindow()));
        click(windows.questionWindow()->findChild<QPushButton*>("yes"));
        QVERIFY(!windows.questionWindow()->isVisible());
        QCOMPARE(updater.automaticChecks(), true);
        QTRY_COMPARE(m_server.requests("/feed-question"), 1);
        // Up to date after a scheduled check: nothing is shown.
        QTRY_VERIFY(!updater.isChecking());
        QVERIFY(!windows.updateWindow() || !windows.updateWindow()->isVisible());
    }
};

QTEST_MAIN(AboutWindowTest)
#include "tst_about_window.moc"
