#include "app/qt_translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTest>

// Qt's own texts speak Korean whatever the session's language.
class QtTranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void standardButtonsSpeakKorean() {
        const QString file =
            QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ko.qm");
        if (!QFileInfo::exists(file))
            QSKIP("Qt's Korean translations are not installed (Debian qt6-translations-l10n)");
        QVERIFY(installKoreanQtTexts(*QCoreApplication::instance()));
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("취소"));
        QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("확인"));
    }
};

int main(int argc, char** argv) {
    // The session's language must not be what makes the texts Korean.
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LANGUAGE", "en");
    QApplication app(argc, argv);
    QtTranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_qt_translations.moc"
