#include "settings/layout_store.h"
#include "temp_store.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

class LayoutStoreTest : public QObject {
    Q_OBJECT
private slots:
    void constructionReadBack_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPointF>("pos");
        QTest::addColumn<double>("fontSize");
        QTest::addColumn<bool>("hide");
        QTest::addColumn<QString>("storedScale");
        QTest::addColumn<QString>("storedFont");
        QTest::newRow("first launch")
            << QByteArray() << 1.0 << QPointF(0.5, 0.88) << 30.0 << false << "1"
            << "";
        QTest::newRow("in range") << QByteArray("widgetScale=2.5\ntimerFontSize=60\n"
                                                "hideCountUnlessHover=true\n")
                                  << 2.5 << QPointF(0.5, 0.88) << 60.0 << true << "2.5"
                                  << "60";
        QTest::newRow("ends included") << QByteArray("widgetScale=0.6\ntimerFontSize=90\n") << 0.6
                                       << QPointF(0.5, 0.88) << 90.0 << false << "0.6"
                                       << "90";
        QTest::newRow("out of range is replaced, not clamped")
            << QByteArray("widgetScale=3.5\ntimerFontSize=8\n") << 1.0 << QPointF(0.5, 0.88) << 30.0
            << false << "1"
            << "8";
        QTest::newRow("not a number") << QByteArray("widgetScale=nan\ntimerFontSize=nan\n") << 1.0
                                      << QPointF(0.5, 0.88) << 30.0 << false << "1"
                                      << "nan";
        QTest::newRow("position outside the square kept")
            << QByteArray("timerPosX=1.4\ntimerPosY=-0.2\nhasTimerPos=true\n") << 1.0
            << QPointF(1.4, -0.2) << 30.0 << false << "1"
            << "";
    }
    void constructionReadBack() {
        QFETCH(QByteArray, file);
        QFETCH(double, scale);
        QFETCH(QPointF, pos);
        QFETCH(double, fontSize);
        QFETCH(bool, hide);
        QFETCH(QString, storedScale);
        QFETCH(QString, storedFont);
        TempStore temp;
        temp.writeFile("[General]\n" + file);
        Settings settings(temp.open());
        LayoutStore layout(settings);
        QCOMPARE(layout.scale(), scale);
        QCOMPARE(layout.timerPos(), pos);
        QCOMPARE(layout.timerFontSize(), fontSize);
        QCOMPARE(layout.hideCountUnlessHover(), hide);
        const auto back = temp.readBack();
        QCOMPARE(back->value("widgetScale").toString(), storedScale);
        QCOMPARE(back->value("timerFontSize").toString(), storedFont);
        QCOMPARE(back->contains("hasTimerPos"), file.contains("hasTimerPos"));
        QCOMPARE(back->value("hideCountUnlessHover").toBool(), hide);
    }

    void scaleIsClampedAndReportedOnce_data() {
        QTest::addColumn<double>("assigned");
        QTest::addColumn<double>("accepted");
        QTest::newRow("above") << 5.0 << 3.0;
        QTest::newRow("below") << 0.2 << 0.6;
        QTest::newRow("nan") << std::nan("") << 0.6;
        QTest::newRow("-inf") << -HUGE_VAL << 0.6;
        QTest::newRow("inside") << 1.75 << 1.75;
    }
    void scaleIsClampedAndReportedOnce() {
        QFETCH(double, assigned);
        QFETCH(double, accepted);
        TempStore temp;
        Settings settings(temp.open());
        LayoutStore layout(settings);
        QList<double> reported;
        layout.onScaleChange = [&](double s) { reported << s; };
        QSignalSpy spy(&layout, &LayoutStore::scaleChanged);
        layout.setScale(assigned);
        QCOMPARE(layout.scale(), accepted);
        QCOMPARE(reported, QList<double>{accepted});
        QCOMPARE(spy.count(), 1);
        QCOMPARE(settings.widgetScale(), accepted);
        // The same scale again: persisted and reported again, but observers are not told.
        layout.setScale(accepted);
        QCOMPARE(reported.size(), 2);
        QCOMPARE(spy.count(), 1);
    }

    void fontSizeIsClamped_data() {
        QTest::addColumn<double>("assigned");
        QTest::addColumn<double>("accepted");
        QTest::newRow("0.2") << 0.2 << 12.0;
        QTest::newRow("200") << 200.0 << 90.0;
        QTest::newRow("nan") << std::nan("") << 12.0;
        QTest::newRow("45") << 45.0 << 45.0;
    }
    void fontSizeIsClamped() {
        QFETCH(double, assigned);
        QFETCH(double, accepted);
        TempStore temp;
        Settings settings(temp.open());
        LayoutStore layout(settings);
        layout.setTimerFontSize(assigned);
        QCOMPARE(layout.timerFontSize(), accepted);
        QCOMPARE(temp.readBack()->value("timerFontSize").toDouble(), accepted);
    }

    void positionAndHoverArePersisted() {
        TempStore temp;
        Settings settings(temp.open());
        LayoutStore layout(settings);
        QSignalSpy spy(&layout, &LayoutStore::timerPosChanged);
        layout.setTimerPos(QPointF(1.4, -0.2));
        layout.setTimerPos(QPointF(1.4, -0.2));
        QCOMPARE(spy.count(), 1);
        layout.setHideCountUnlessHover(true);
        const auto back = temp.readBack();
        QCOMPARE(back->value("timerPosX").toDouble(), 1.4);
        QCOMPARE(back->value("timerPosY").toDouble(), -0.2);
        QCOMPARE(back->value("hasTimerPos").toBool(), true);
        QCOMPARE(back->value("hideCountUnlessHover").toBool(), true);
    }
};

QTEST_GUILESS_MAIN(LayoutStoreTest)
#include "tst_layout_store.moc"
