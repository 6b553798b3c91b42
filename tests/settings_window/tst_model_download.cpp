// The background-removal model fetched on the user's word, from a real HTTP server on this
// machine: what is written, what is refused, and the editor's offer line used by its buttons.
#include "http_test_server.h"
#include "settings_window/model_download.h"
#include "settings_window/model_offer.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kModel = QByteArray(300 * 1024, '\x5a') + "the model's last bytes";

QByteArray md5(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

} // namespace

class ModelDownloadTest : public QObject {
    Q_OBJECT

    HttpTestServer server;
    QNetworkAccessManager network;
    QTemporaryDir dir;

    QString destination() const { return dir.filePath("models/u2netp.onnx"); }

    std::unique_ptr<ModelDownload> download(const QString& path, QByteArray hash = md5(kModel),
                                            int stallMs = 5000) {
        return std::make_unique<ModelDownload>(
            network, ModelDownload::Source{server.url(path), hash, 1024 * 1024}, destination(),
            stallMs);
    }

    // The download's outcome: empty for success, else the reason.
    static QString outcome(ModelDownload& d) {
        QSignalSpy finished(&d, &ModelDownload::finished);
        d.start();
        if (!finished.wait(10000))
            return "no answer";
        return finished.front().front().toString();
    }

private slots:
    void init() { QFile::remove(destination()); }

    void aGoodFileIsStoredWhereTheProgramLooks() {
        server.route("/m.onnx", {HttpTestServer::Response::Kind::answer, 200, kModel, {}, 0});
        server.redirect("/moved", server.url("/m.onnx"));
        auto d = download("/moved");
        QSignalSpy progress(d.get(), &ModelDownload::progress);
        QCOMPARE(outcome(*d), QString());
        QFile stored(destination());
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), kModel);
        QVERIFY(!progress.isEmpty());
    }

    void refused_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file with another checksum") << "/other"
                                                      << "체크섬";
        QTest::newRow("cut off before its end") << "/truncated"
                                                << "";
        QTest::newRow("redirected to plain http elsewhere") << "/to-http"
                                                            << "https";
        QTest::newRow("larger than a model may be") << "/large"
                                                    << "너무 큽니다";
    }
    void refused() {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        server.route("/other", {HttpTestServer::Response::Kind::answer, 200, kModel + "x", {}, 0});
        server.route(
            "/truncated",
            {HttpTestServer::Response::Kind::truncated, 200, kModel.left(1000), {}, kModel.size()});
        server.redirect("/to-http", QUrl("http://models.example.org/u2netp.onnx"));
        server.route("/large", {HttpTestServer::Response::Kind::large, 200, {}, {}, 4 << 20});
        // A model from an earlier download stays when a new one fails.
        QDir().mkpath(dir.filePath("models"));
        QFile earlier(destination());
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier model");
        earlier.close();

        auto d = download(path);
        const QString error = outcome(*d);
        QVERIFY2(!error.isEmpty(), "a refused file was reported as stored");
        QVERIFY2(error.contains(reason), qPrintable(error));
        QFile stored(destination());
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), QByteArray("earlier model"));
    }

    void aSilentServerIsGivenUp() {
        server.route("/silent", {HttpTestServer::Response::Kind::silent, 200, {}, {}, 0});
        auto d = download("/silent", md5(kModel), 300);
        QVERIFY(outcome(*d).contains("응답하지 않습니다"));
        QVERIFY(!QFile::exists(destination()));
    }

    // The offer line, pressed as a user presses it: progress while it runs, then gone; a
    // failure says why and offers another try; cancelling brings the offer back.
    void theOfferLine() {
        server.route("/m.onnx", {HttpTestServer::Response::Kind::answer, 200, kModel, {}, 0});
        server.route("/slow", {HttpTestServer::Response::Kind::silent, 200, {}, {}, 0});
        QString path = "/other-hash";
        ModelOffer offer([&] {
            return download(path == "/other-hash" ? "/m.onnx" : path,
                            path == "/other-hash" ? QByteArray(32, '0') : md5(kModel));
        });
        QSignalSpy ready(&offer, &ModelOffer::modelReady);
        offer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&offer));
        auto press = [&](const QString& name) {
            auto* button = offer.findChild<QPushButton*>(name);
            QVERIFY(button && button->isVisible());
            QTest::mouseClick(offer.windowHandle(), Qt::LeftButton, {},
                              button->mapTo(&offer, button->rect().center()));
        };

        press("getModel");
        QVERIFY(offer.findChild<QProgressBar*>("modelProgress")->isVisible());
        auto* failure = offer.findChild<QLabel*>("modelFailure");
        QTRY_VERIFY(failure->isVisible());
        QVERIFY(failure->toolTip().contains("체크섬"));
        QVERIFY(!QFile::exists(destination()));

        path = "/slow";
        press("getModel");
        QVERIFY(offer.isDownloading());
        press("cancelModel");
        QVERIFY(!offer.isDownloading());
        QVERIFY(offer.findChild<QPushButton*>("getModel")->isVisible());

        path = "/m.onnx";
        press("getModel");
        QVERIFY(ready.wait(10000));
        QVERIFY(!offer.isVisible());
        QVERIFY(QFile::exists(destination()));
    }
};

QTEST_MAIN(ModelDownloadTest)
#include "tst_model_download.moc"
