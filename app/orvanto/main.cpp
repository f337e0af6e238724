#include <cstdio>

#include <QApplication>

#include "ui/TFrmsplit.h"
#include "ui/TerminationSignals.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanto"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Qt has taken its own options; anything left is not for this program.
    if (QApplication::arguments().size() > 1) {
        std::fputs(
            "orvanto takes no arguments; use orvanto-split to split from the command line.\n",
            stderr);
        return 2;
    }
    TFrmsplit window;
    const TerminationSignals sessionEnd([&window] { window.closeAtSessionEnd(); });
    window.show();
    return QApplication::exec();
}
