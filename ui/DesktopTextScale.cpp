#include "ui/DesktopTextScale.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QAbstractScrollArea>
#include <QFont>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace {

// The general font of Qt's generic theme, which the layout files were drawn for.
constexpr double kDesignPointSize = 9.0;

int scaled(int length, double factor) {
    return qRound(length * factor);
}

QRect scaled(const QRect& rect, double factor) {
    return QRect(scaled(rect.x(), factor), scaled(rect.y(), factor), scaled(rect.width(), factor),
                 scaled(rect.height(), factor));
}

QFont scaled(QFont font, double factor) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(scaled(font.pixelSize(), factor));
    return font;
}

// The largest factor, up to wanted, at which the form's design size fits its screen's free area.
double factorTheScreenHolds(const QWidget& form, double wanted) {
    const QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    if (!screen || form.width() <= 0 || form.height() <= 0)
        return wanted;
    const QSize room = screen->availableGeometry().size();
    return std::min(
        {wanted, double(room.width()) / form.width(), double(room.height()) / form.height()});
}

// A layout or a scroll area places these children itself.
bool placedByItsParent(const QWidget& widget) {
    const QWidget* parent = widget.parentWidget();
    return parent && (parent->layout() || qobject_cast<const QAbstractScrollArea*>(parent));
}

} // namespace

double desktopTextScale() {
    // The application's font is the desktop's general font unless the program sets another.
    const double pointSize = QGuiApplication::font().pointSizeF();
    return std::max(1.0, pointSize / kDesignPointSize);
}

void scaleFormToDesktopText(QWidget& form) {
    const double factor = std::max(1.0, factorTheScreenHolds(form, desktopTextScale()));
    if (factor == 1.0)
        return;
    const QList<QWidget*> children = form.findChildren<QWidget*>();
    // Every font is read before any is set, as a child inherits what its parent's change gives it.
    std::vector<std::pair<QWidget*, QFont>> ownFonts;
    if (form.testAttribute(Qt::WA_SetFont))
        ownFonts.emplace_back(&form, form.font());
    for (QWidget* child : children) {
        if (child->testAttribute(Qt::WA_SetFont))
            ownFonts.emplace_back(child, child->font());
        if (!placedByItsParent(*child))
            child->setGeometry(scaled(child->geometry(), factor));
    }
    for (const auto& [widget, font] : ownFonts)
        widget->setFont(scaled(font, factor));
    // Also keeps a size stored at a smaller text from cutting the grown form off.
    const QSize grown(scaled(form.width(), factor), scaled(form.height(), factor));
    form.setMinimumSize(grown);
    form.resize(grown);
}
