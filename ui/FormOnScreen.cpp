#include "ui/FormOnScreen.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "settings/Settings.h"
#include "ui/DesktopTextScale.h"

namespace {

// The screen the window is on, else the primary one; none without any screen.
const QScreen* screenOf(const QWidget& window) {
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

int textScalePercent() {
    return qRound(desktopTextScale() * 100);
}

} // namespace

void shareFormPaletteWithStyledWidgets(QWidget& form) {
    const QPalette designed = form.palette();
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        if (!widget->testAttribute(Qt::WA_StyleSheet))
            continue;
        const QPalette own = widget->palette();
        QPalette combined = own.resolve(designed);
        // Both sets of roles count as set, or the widget would fall back to the application's.
        combined.setResolveMask(own.resolveMask() | designed.resolveMask());
        widget->setPalette(combined);
    }
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = screenOf(window);
    if (!screen)
        return;
    QRect placed = window.frameGeometry();
    placed.moveCenter(screen->availableGeometry().center());
    window.move(placed.topLeft());
}

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
    if (const QScreen* screen = screenOf(window))
        size = size.boundedTo(screen->availableGeometry().size());
    window.resize(size);
}

void storeSize(const QWidget& window, const settings::Settings& settings,
               const std::string& section, LockWait lockWait) {
    settings.writeLayoutSize(window.width(), window.height(), section, textScalePercent(),
                             lockWait);
}
