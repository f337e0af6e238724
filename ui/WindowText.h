#pragma once

#include <QString>

class QCoreApplication;

// A window's text from Orvanto's catalogue; uic calls it for every text of the .ui files.
QString orvantoText(const char* text, const char* disambiguation = nullptr, int count = -1);

// Qt's own words (Yes, Cancel, the file and print dialogs) in the user's language, from Qt's
// catalogues where Debian's qt6-translations-l10n puts them.
void loadQtCatalogue(QCoreApplication& application);
