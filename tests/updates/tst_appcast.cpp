#include "updates/appcast.h"
#include "updates/information_dictionary.h"

#include <QTest>

using Order = Appcast::Order;
Q_DECLARE_METATYPE(Order)

// The update feed's versions: how they compare and how the first one is read.
class AppcastTest : public QObject {
    Q_OBJECT
private slots:
    void compare_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<Order>("order");
        QTest::newRow("1.10 > 1.9") << "1.10"
                                    << "1.9" << Order::descending;
        QTest::newRow("1.9 < 1.10") << "1.9"
                                    << "1.10" << Order::ascending;
        QTest::newRow("1.2 = 1.2.0") << "1.2"
                                     << "1.2.0" << Order::same;
        QTest::newRow("1.2.1 > 1.2") << "1.2.1"
                                     << "1.2" << Order::descending;
        QTest::newRow("2.0b1 = 2.0") << "2.0b1"
                                     << "2.0" << Order::same;
        QTest::newRow("1..2 = 1.2") << "1..2"
                                    << "1.2" << Order::same;
        QTest::newRow("empty = all zeros") << ""
                                           << "0.0" << Order::same;
        QTest::newRow("empty < 0.1") << ""
                                     << "0.1" << Order::ascending;
        QTest::newRow("signed pieces") << "1.-1"
                                       << "1" << Order::ascending;
        QTest::newRow("leading and trailing dots") << ".1.2."
                                                   << "1.2" << Order::same;
        QTest::newRow("huge piece is not a number") << "1.99999999999999999999"
                                                    << "1.0" << Order::same;
    }
    void compare() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(Order, order);
        QCOMPARE(Appcast::compare(a, b), order);
    }

    // What the feed tests over HTTP (tst_about_view_model) do not reach.
    void firstShortVersion_data() {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<QString>("version"); // "<none>" when nothing is read
        QTest::addColumn<bool>("problem");
        const QByteArray open = "<?xml version=\"1.0\"?><rss xmlns:sparkle="
                                "\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>";
        const QByteArray close = "</channel></rss>";
        QTest::newRow("read before a later fault")
            << open + "<item><sparkle:shortVersionString>2.1</sparkle:shortVersionString><oops>"
            << "2.1" << false;
        QTest::newRow("another prefix does not count")
            << QByteArray("<rss xmlns:s=\"x\"><s:shortVersionString>1.0</s:shortVersionString>"
                          "</rss>")
            << "<none>" << false;
        QTest::newRow("not XML") << QByteArray("<html><body>404 Not Found") << "<none>" << false;
    }
    void firstShortVersion() {
        QFETCH(QByteArray, feed);
        QFETCH(QString, version);
        QFETCH(bool, problem);
        const Appcast::VersionRead read = Appcast::firstShortVersion(feed);
        QCOMPARE(read.version.value_or(QStringLiteral("<none>")), version);
        QCOMPARE(!read.problem.isEmpty(), problem);
    }

    // The address of the feed reaches the network only as an absolute http or https URL.
    void feedAddress_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("url"); // empty: none
        QTest::newRow("https") << QVariant("https://example.org/appcast.xml")
                               << "https://example.org/appcast.xml";
        QTest::newRow("http") << QVariant("http://127.0.0.1:8080/a.xml")
                              << "http://127.0.0.1:8080/a.xml";
        QTest::newRow("file") << QVariant("file:///etc/passwd") << "";
        QTest::newRow("ftp") << QVariant("ftp://example.org/a.xml") << "";
        QTest::newRow("relative") << QVariant("appcast.xml") << "";
        QTest::newRow("no host") << QVariant("https:///a.xml") << "";
        QTest::newRow("not text") << QVariant(42) << "";
        QTest::newRow("missing") << QVariant() << "";
    }
    void feedAddress() {
        QFETCH(QVariant, value);
        QFETCH(QString, url);
        QVariantMap information;
        if (value.isValid())
            information.insert("SUFeedURL", value);
        const std::optional<QUrl> read = feedURL(information);
        QCOMPARE(read ? read->toString() : QString(), url);
    }

    void installedVersionFromTheBuild() {
        QCOMPARE(installedVersion(informationDictionary()), QStringLiteral(PURRTICK_VERSION));
        QCOMPARE(installedVersion({{"CFBundleShortVersionString", 3}}), QStringLiteral("?"));
        QCOMPARE(installedVersion({}), QStringLiteral("?"));
    }
};

QTEST_GUILESS_MAIN(AppcastTest)
#include "tst_appcast.moc"
