#include "small_file_system.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// A dark round subject in the middle of a pale, slightly grainy backdrop.
QByteArray subjectPhoto() {
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(QColor(225, 228, 232));
    for (int y = 0; y < image.height(); y += 3)
        for (int x = (y * 7) % 5; x < image.width(); x += 5)
            image.setPixelColor(x, y, QColor(215, 219, 224));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 60, 35));
    painter.drawEllipse(QPointF(160, 125), 70, 80);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Run {
    int exitCode = -1;
    qint64 ms = 0;
    QString error;
};

Run cutout(const QString& input, const QString& output) {
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(PURRTICK_CUTOUT, {input, output});
    Run run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ms = timer.elapsed();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.error = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// The cut-out command as a user runs it: exit status 0 written, 1 no subject, 2 not a
// picture, 3 a file that cannot be read or written; never unbounded reads or empty files.
class CutoutCommandTest : public QObject {
    Q_OBJECT

private slots:
    void writesTheCutout() {
        QTemporaryDir dir;
        writeFile(dir.filePath("in.png"), subjectPhoto());
        const Run run = cutout(dir.filePath("in.png"), dir.filePath("out.png"));
        QCOMPARE(run.exitCode, 0);
        const QImage cut(dir.filePath("out.png"));
        QVERIFY(!cut.isNull());
        QVERIFY(cut.hasAlphaChannel());
    }

    void aPictureWithoutACatSaysSo() {
        QTemporaryDir dir;
        QImage wall(320, 240, QImage::Format_RGB32);
        wall.fill(QColor(200, 190, 170));
        QVERIFY(wall.save(dir.filePath("wall.png")));
        const Run run = cutout(dir.filePath("wall.png"), dir.filePath("out.png"));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.error.contains(QStringLiteral("고양이를 찾지 못했어요")),
                 qPrintable(run.error));
        QVERIFY(!QFile::exists(dir.filePath("out.png")));
    }

    void helpIsNoError() {
        QProcess process;
        process.start(PURRTICK_CUTOUT, {"--help"});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(process.readAllStandardOutput().contains("usage: purrtick-cutout"));
        // Wrong arguments are a usage error (2), as the manual page says.
        process.start(PURRTICK_CUTOUT, {"only-one.png"});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("usage: purrtick-cutout"));
    }

    void refusesInputsThatAreNotRegularFiles_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("status");
        QTest::newRow("endless device") << "/dev/zero" << 3;
        QTest::newRow("pipe") << "<fifo>" << 3;
        QTest::newRow("folder") << "<dir>" << 3;
        QTest::newRow("missing") << "<missing>" << 3;
        QTest::newRow("text") << "<text>" << 2;
    }
    void refusesInputsThatAreNotRegularFiles() {
        QFETCH(QString, input);
        QFETCH(int, status);
        QTemporaryDir dir;
        if (input == "<fifo>") {
            input = dir.filePath("pipe");
            QCOMPARE(::mkfifo(QFile::encodeName(input).constData(), 0600), 0);
        } else if (input == "<dir>") {
            input = dir.path();
        } else if (input == "<missing>") {
            input = dir.filePath("missing.jpg");
        } else if (input == "<text>") {
            input = dir.filePath("notes.png");
            writeFile(input, "not a picture");
        }
        const Run run = cutout(input, dir.filePath("out.png"));
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.ms < 5000, qPrintable(QString::number(run.ms)));
        QVERIFY(!QFile::exists(dir.filePath("out.png")));
    }

    void aFullOutputIsAFailure() {
        QTemporaryDir dir;
        writeFile(dir.filePath("in.png"), subjectPhoto());
        Run run = cutout(dir.filePath("in.png"), "/dev/full");
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.error.contains("cannot write"), qPrintable(run.error));

        SmallFileSystem disk(64);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.reason()));
        writeFile(disk.filePath("out.png"), "an earlier result");
        disk.fill();
        run = cutout(dir.filePath("in.png"), disk.filePath("out.png"));
        QCOMPARE(run.exitCode, 3);
        QFile earlier(disk.filePath("out.png"));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("an earlier result"));
    }
};

QTEST_GUILESS_MAIN(CutoutCommandTest)
#include "tst_cutout_command.moc"
