#include <cstdlib>

#include <QApplication>

#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "wording/Translation.h"

// Window tests run on Qt's offscreen platform with the configuration folder in a temporary folder.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TempFolder configFolder;
    useConfigFolder(configFolder.path());
    startTranslation(ORVANTO_CATALOGUE_FOLDER);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
