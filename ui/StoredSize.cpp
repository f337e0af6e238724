#include "ui/StoredSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "settings/Settings.h"

void restoreStoredSize(QWidget& window, const settings::Settings& settings,
                       const std::string& section) {
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
