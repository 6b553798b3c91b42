#include "settings/timer_font.h"
#include "settings_window/font_sample.h"
#include "settings_window/number_field.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QVBoxLayout>

// The small controls of the settings window on their own.
class SettingsControlsTest : public QObject {
    Q_OBJECT
private slots:
    // Keys typed into a field of 1 to 600 that holds 25, then the field is left. (Clamping and
    // refused letters are tested through the window, in tst_mode_tab.)
    void numberFieldCommits_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("edits"); // values reported as the user's
        QTest::addColumn<qint64>("value");
        QTest::newRow("in range") << "45"
                                  << "45" << 1 << qint64(45);
        QTest::newRow("leading zeros") << "007"
                                       << "7" << 1 << qint64(7);
        QTest::newRow("emptied shows the value again") << ""
                                                       << "25" << 0 << qint64(25);
    }
    void numberFieldCommits() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, edits);
        QFETCH(qint64, value);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* field = new NumberField(1, 600, 56);
        auto* other = new NumberField(0, 9, 44);
        layout->addWidget(field);
        layout->addWidget(other);
        field->setValue(25);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy reported(field, &NumberField::valueEdited);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, typed);
        other->setFocus();
        QCOMPARE(field->text(), shown);
        QCOMPARE(field->value(), value);
        QCOMPARE(reported.count(), edits);
        QCOMPARE(field->alignment() & Qt::AlignRight, Qt::AlignRight);
        QCOMPARE(field->width(), 56);
    }

    void arrowKeysStepWithinTheRange() {
        NumberField field(0, 23, 44);
        field.setValue(22);
        QSignalSpy reported(&field, &NumberField::valueEdited);
        QTest::keyClick(&field, Qt::Key_Up);
        QTest::keyClick(&field, Qt::Key_Up);
        QCOMPARE(field.value(), 23);
        field.setValue(0);
        QTest::keyClick(&field, Qt::Key_Down);
        QCOMPARE(field.value(), 0);
        QCOMPARE(reported.count(), 3);
    }

    // A value from elsewhere is shown as it is, not clamped.
    void valuesFromElsewhereAreShownUnchanged() {
        NumberField field(1, 600, 56);
        QSignalSpy reported(&field, &NumberField::valueEdited);
        field.setValue(1000);
        QCOMPARE(field.text(), QStringLiteral("1000"));
        QCOMPARE(reported.count(), 0);
    }

    // The sample shrinks to fit its width, never below 60 %.
    void fontSampleShrinksToFit_data() {
        QTest::addColumn<double>("widthFraction");
        QTest::addColumn<double>("scale");
        QTest::newRow("roomy") << 1.5 << 1.0;
        QTest::newRow("just fits") << 1.0 << 1.0;
        QTest::newRow("three quarters") << 0.75 << 0.75;
        QTest::newRow("far too narrow") << 0.3 << 0.6;
    }
    void fontSampleShrinksToFit() {
        QFETCH(double, widthFraction);
        QFETCH(double, scale);
        FontSample sample(TimerFontStyle::standard, QStringLiteral("12:34"));
        const int natural = sample.sizeHint().width();
        sample.resize(int(natural * widthFraction), sample.sizeHint().height());
        QVERIFY2(std::abs(sample.fittedSize() / FontSample::kSize - scale) < 0.03,
                 qPrintable(QString::number(sample.fittedSize())));
    }

    // Each sample is drawn in a face of its own style, at its weight, or says the face is
    // missing; a style never silently borrows another face.
    void fontSamplesShowTheirOwnFace() {
        int shown = 0;
        for (TimerFontStyle style : allCases<TimerFontStyle>()) {
            FontSample sample(style, QStringLiteral("12:34"));
            const QString name = rawValue(style);
            const QString installed = installedTimerFamily(style);
            QCOMPARE(sample.isMissing(), installed.isEmpty());
            if (installed.isEmpty())
                continue;
            ++shown;
            // The face the glyphs really come from, as the sample lays them out.
            QTextLayout layout(QStringLiteral("12:34"), sample.sampleFont());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            QVERIFY(!runs.isEmpty());
            const QRawFont drawn = runs.first().rawFont();
            QVERIFY2(drawn.familyName().compare(installed, Qt::CaseInsensitive) == 0,
                     qPrintable(name + u": " + drawn.familyName() + u" for " + installed));
            if (style == TimerFontStyle::rounded)
                QVERIFY2(drawn.weight() >= QFont::Bold,
                         qPrintable(QString::number(drawn.weight())));
        }
        if (shown == 0)
            QSKIP("none of the timer's faces is installed here");
    }
};

QTEST_MAIN(SettingsControlsTest)
#include "tst_settings_controls.moc"
