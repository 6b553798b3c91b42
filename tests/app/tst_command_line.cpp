#include "app/command_line.h"

#include <QFile>
#include <QTest>

using CommandLine::Command;
using Kind = CommandLine::Request::Kind;

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Command>("command");
        QTest::addColumn<bool>("given");
        QTest::newRow("plain launch") << QStringList{} << Kind::run << Command::show << false;
        QTest::newRow("start") << QStringList{"--start"} << Kind::run << Command::start << true;
        QTest::newRow("stop the alert")
            << QStringList{"--stop-alert"} << Kind::run << Command::stopAlert << true;
        QTest::newRow("quit") << QStringList{"--quit"} << Kind::run << Command::quit << true;
        QTest::newRow("the same command twice")
            << QStringList{"--hide", "--hide"} << Kind::run << Command::hide << true;
        QTest::newRow("Qt's own options are Qt's")
            << QStringList{"-platform", "xcb", "--toggle"} << Kind::run << Command::toggle << true;
        QTest::newRow("help") << QStringList{"--help"} << Kind::help << Command::show << false;
        QTest::newRow("short help") << QStringList{"-h"} << Kind::help << Command::show << false;
        QTest::newRow("version") << QStringList{"--version"} << Kind::version << Command::show
                                 << false;
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << Kind::usageError << Command::show << false;
        QTest::newRow("two commands")
            << QStringList{"--start", "--pause"} << Kind::usageError << Command::show << false;
        QTest::newRow("one dash too few for ours")
            << QStringList{"-start"} << Kind::run << Command::show << false;
        QTest::newRow("a bare word")
            << QStringList{"start"} << Kind::usageError << Command::show << false;
        QTest::newRow("a bare word after a command")
            << QStringList{"--toggle", "now"} << Kind::usageError << Command::show << false;
    }
    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(Kind, kind);
        QFETCH(Command, command);
        QFETCH(bool, given);
        const CommandLine::Request request = CommandLine::parse(arguments);
        QCOMPARE(request.kind, kind);
        QCOMPARE(request.command, command);
        QCOMPARE(request.given, given);
        QCOMPARE(request.error.isEmpty(), kind != Kind::usageError);
    }

    // What a later launch sends is what the running instance understands, for every command;
    // anything else is no command.
    void requestLinesRoundTrip() {
        for (Command command :
             {Command::show, Command::toggle, Command::start, Command::pause, Command::reset,
              Command::stopAlert, Command::hide, Command::settings, Command::quit})
            QCOMPARE(CommandLine::commandFromLine(CommandLine::requestLine(command)), command);
        QCOMPARE(CommandLine::requestLine(Command::show), QByteArray("show\n"));
        QVERIFY(!CommandLine::commandFromLine("rm -rf /\n"));
        QVERIFY(!CommandLine::commandFromLine("start"));
    }

    void usageNamesEveryOption() {
        const QString usage = CommandLine::usage();
        for (const char* option :
             {"--show", "--toggle", "--start", "--pause", "--reset", "--stop-alert", "--hide",
              "--settings", "--quit", "--help", "--version"})
            QVERIFY2(usage.contains(option), option);
    }

    // The manual pages, English and Korean, describe every option the program takes.
    void manualPagesNameEveryOption_data() {
        QTest::addColumn<QString>("page");
        QTest::newRow("English") << QStringLiteral(PURRTICK_MAN_PAGE);
        QTest::newRow("Korean") << QStringLiteral(PURRTICK_MAN_PAGE_KO);
    }
    void manualPagesNameEveryOption() {
        QFETCH(QString, page);
        QFile file(page);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // roff writes a hyphen in an option as "\-".
        const QString text =
            QString::fromUtf8(file.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        for (const char* option :
             {"--show", "--toggle", "--start", "--pause", "--reset", "--stop-alert", "--hide",
              "--settings", "--quit", "--help", "--version"})
            QVERIFY2(text.contains(QLatin1String(option)), option);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
