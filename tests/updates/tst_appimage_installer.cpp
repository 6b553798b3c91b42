#include "http_test_server.h"
#include "signing_key.h"
#include "updates/appimage_installer.h"
#include "updates/ed25519.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <openssl/evp.h>

// Replacing the running AppImage: only a file of the announced length, signed with the build's
// key, ever takes its place.
class AppImageInstallerTest : public QObject {
    Q_OBJECT

    HttpTestServer m_server;
    QNetworkAccessManager m_network;
    SigningKey m_key;

private slots:
    void verifiesSignatures() {
        const QByteArray message = "Purrtick 1.4.0";
        const QByteArray signature = m_key.sign(message);
        QVERIFY(verifyEd25519(message, signature, m_key.publicKey()));
        QVERIFY(!verifyEd25519("Purrtick 1.4.1", signature, m_key.publicKey()));
        QByteArray flipped = signature;
        flipped[10] = char(flipped[10] ^ 1);
        QVERIFY(!verifyEd25519(message, flipped, m_key.publicKey()));
        QVERIFY(!verifyEd25519(message, signature, SigningKey().publicKey()));
        QVERIFY(!verifyEd25519(message, signature.left(63), m_key.publicKey()));
        QVERIFY(!verifyEd25519(message, signature, QByteArray(31, 'k')));
    }

    void install_data() {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QString>("problem");
        QTest::newRow("signed") << "signed" << true << "";
        QTest::newRow("wrong signature") << "wrong signature" << false << "서명이 맞지 않아";
        QTest::newRow("truncated download") << "truncated" << false << "크기";
        QTest::newRow("no key in the build") << "no key" << false << "서명 키";
        QTest::newRow("no signature in the feed") << "no signature" << false << "서명이 없어";
        QTest::newRow("error page instead of the file") << "404" << false << "크기";
    }
    void install() {
        QFETCH(QString, variant);
        QFETCH(bool, replaced);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString appImage = dir.filePath("Purrtick-x86_64.AppImage");
        const QByteArray old = "old AppImage\n";
        {
            QFile file(appImage);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                QFile::ExeOther);
        }
        QByteArray fresh(200 * 1024, 'n');
        fresh.prepend("new AppImage ");
        const QString path = "/" + QString(variant).replace(' ', '-') + ".AppImage";
        HttpTestServer::Response response;
        response.body = variant == u"truncated" ? fresh.left(fresh.size() / 2) : fresh;
        if (variant != u"404")
            m_server.route(path, response);

        Appcast::Item item;
        item.version = "1.4.0";
        item.enclosureURL = m_server.url(path);
        item.enclosureLength = fresh.size();
        item.edSignature = QString::fromLatin1(
            m_key.sign(variant == u"wrong signature" ? fresh + "x" : fresh).toBase64());
        if (variant == u"no signature")
            item.edSignature.clear();
        const QString key =
            variant == u"no key" ? QString() : QString::fromLatin1(m_key.publicKey().toBase64());

        AppImageInstaller installer(m_network, appImage, key, 2000);
        qint64 progress = 0;
        installer.onProgress = [&progress](qint64 received, qint64) { progress = received; };
        std::optional<QString> outcome;
        installer.install(item, [&outcome](const QString& why) { outcome = why; });
        QTRY_VERIFY(outcome.has_value());
        QVERIFY2(problem.isEmpty() ? outcome->isEmpty() : outcome->contains(problem),
                 qPrintable(*outcome));

        QFile file(appImage);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), replaced ? fresh : old);
        // The new file keeps the old one's mode: it still runs.
        QVERIFY(file.permissions() & QFile::ExeOwner);
        QVERIFY(file.permissions() & QFile::ExeOther);
        if (replaced)
            QCOMPARE(progress, fresh.size());
        // Nothing is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // A server that sends far more than the feed declares is cut off at the declared length:
    // the body goes to a file as it arrives and is never held whole, and nothing is left.
    void aBodyPastTheDeclaredLengthIsCutOff() {
        QTemporaryDir dir;
        const QString appImage = dir.filePath("Purrtick-x86_64.AppImage");
        {
            QFile file(appImage);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        HttpTestServer::Response endless;
        endless.kind = HttpTestServer::Response::Kind::endless;
        m_server.route("/endless.AppImage", endless);
        Appcast::Item item;
        item.version = "1.4.0";
        item.enclosureURL = m_server.url("/endless.AppImage");
        item.enclosureLength = 4096;
        item.edSignature = QString::fromLatin1(m_key.sign("x").toBase64());
        const qint64 peakBefore = peakResidentKB();
        AppImageInstaller installer(m_network, appImage,
                                    QString::fromLatin1(m_key.publicKey().toBase64()), 2000);
        std::optional<QString> outcome;
        installer.install(item, [&outcome](const QString& why) { outcome = why; });
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 20000);
        QVERIFY2(outcome->contains(QStringLiteral("크기")), qPrintable(*outcome));
        QVERIFY2(peakResidentKB() - peakBefore < 100 * 1024,
                 qPrintable(QString::number(peakResidentKB() - peakBefore)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Purrtick-x86_64.AppImage"});
    }

private:
    // The process's peak resident memory so far, in kilobytes.
    static qint64 peakResidentKB() {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
        return 0;
    }
};

QTEST_GUILESS_MAIN(AppImageInstallerTest)
#include "tst_appimage_installer.moc"
