#include "app/qt_translations.h"

#include "platform/log.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installKoreanQtTexts(QCoreApplication& application) {
    auto* texts = new QTranslator(&application);
    if (!texts->load(QLocale(QLocale::Korean), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qCInfo(lcPurrtick, "Qt의 한국어 번역(qtbase_ko)을 찾지 못했습니다");
        delete texts;
        return false;
    }
    return QCoreApplication::installTranslator(texts);
}
