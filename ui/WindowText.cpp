#include "ui/WindowText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "wording/Translation.h"

QString orvantoText(const char* text, const char*, int) {
    return QString::fromUtf8(translate(text));
}

void loadQtCatalogue(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
