#include "ui/StoredSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "settings/Settings.h"
#include "ui/DesktopTextScale.h"

namespace {

int textScalePercent() {
    return qRound(desktopTextScale() * 100);
}

} // namespace

void restoreStoredSize(QWidget& window, const settings::Settings& settings,
                       const std::string& section) {
    // A size made under another text size would leave the form cut off or mostly empty.
    if (settings.readLayoutTextScale(section) != textScalePercent())
        return;
    QSize size = window.size();
    const int width = settings.readLayoutWidth(section);
    if (width > 0)
        size.setWidth(width);
    const int height = settings.readLayoutHeight(section);
    if (height > 0)
        size.setHeight(height);
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size());
    window.resize(size);
}

void storeSize(const QWidget& window, const settings::Settings& settings,
               const std::string& section) {
    settings.writeLayoutSize(window.width(), window.height(), section, textScalePercent());
}
