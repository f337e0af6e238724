#include "ui/DesktopTextScale.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

namespace {

// The general font of Qt's generic theme, which the layout files were drawn for.
constexpr double kDesignPointSize = 9.0;

int scaled(int length, double factor) {
    return qRound(length * factor);
}

QRect scaled(const QRect& rect, QSizeF factors) {
    return QRect(scaled(rect.x(), factors.width()), scaled(rect.y(), factors.height()),
                 scaled(rect.width(), factors.width()), scaled(rect.height(), factors.height()));
}

QFont scaled(QFont font, double factor) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(scaled(font.pixelSize(), factor));
    return font;
}

// The largest factors, up to wanted, at which the form's present size fits its screen's free area.
QSizeF factorsTheScreenHolds(const QWidget& form, QSizeF wanted) {
    const QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    if (!screen || form.width() <= 0 || form.height() <= 0)
        return wanted;
    const QSize room = screen->availableGeometry().size();
    return QSizeF(std::min(wanted.width(), double(room.width()) / form.width()),
                  std::min(wanted.height(), double(room.height()) / form.height()));
}

// A layout or a scroll area places these children itself.
bool placedByItsParent(const QWidget& widget) {
    const QWidget* parent = widget.parentWidget();
    return parent && (parent->layout() || qobject_cast<const QAbstractScrollArea*>(parent));
}

// Scales every font set on the form or a child by factor. Every font is read before any is set,
// as a child inherits what its parent's change gives it.
void scaleFonts(QWidget& form, const QList<QWidget*>& children, double factor) {
    std::vector<std::pair<QWidget*, QFont>> ownFonts;
    if (form.testAttribute(Qt::WA_SetFont))
        ownFonts.emplace_back(&form, form.font());
    for (QWidget* child : children)
        if (child->testAttribute(Qt::WA_SetFont))
            ownFonts.emplace_back(child, child->font());
    for (const auto& [widget, font] : ownFonts)
        widget->setFont(scaled(font, factor));
}

// Moves and sizes every child placed by pixels, and then the form, by factors across and down;
// both keep every child clear of the others.
void growGeometry(QWidget& form, const QList<QWidget*>& children, QSizeF factors) {
    for (QWidget* child : children)
        if (!placedByItsParent(*child))
            child->setGeometry(scaled(child->geometry(), factors));
    // Also keeps a size stored at a smaller text from cutting the grown form off.
    const QSize grown(scaled(form.width(), factors.width()),
                      scaled(form.height(), factors.height()));
    form.setMinimumSize(grown);
    form.resize(grown);
}

// The most that a child placed by pixels overflows with its text, across and down: (1, 1) when
// every text fits. Hidden ones count, as the window shows some only later (the file's caption).
QSizeF largestTextOverflow(const QList<QWidget*>& children) {
    QSizeF overflow(1.0, 1.0);
    for (const QWidget* child : children)
        if (!placedByItsParent(*child))
            overflow = overflow.expandedTo(textOverflow(*child));
    return overflow;
}

// The width a one-line label's text needs, margins included.
int lineWidth(const QLabel& label) {
    return label.fontMetrics().horizontalAdvance(label.text()) + label.width() -
           label.contentsRect().width();
}

// The label that comes next to the right on label's line, if any.
QLabel* nextOnItsLine(const QLabel& label, const QList<QWidget*>& children) {
    QLabel* next = nullptr;
    for (QWidget* child : children) {
        auto* other = qobject_cast<QLabel*>(child);
        if (other && other->parentWidget() == label.parentWidget() && other->x() > label.x() &&
            other->y() < label.geometry().bottom() && label.y() < other->geometry().bottom() &&
            (!next || other->x() < next->x()))
            next = other;
    }
    return next;
}

// A one-line label too narrow for its text first widens into what the label after it on its line
// leaves beside its own text (a caption before its value), moving that label's left edge and
// keeping the gap between them.
void widenIntoSpareRoom(const QList<QWidget*>& children) {
    for (QWidget* child : children) {
        auto* label = qobject_cast<QLabel*>(child);
        if (!label || label->wordWrap() || placedByItsParent(*label) ||
            lineWidth(*label) <= label->width())
            continue;
        QLabel* next = nextOnItsLine(*label, children);
        if (!next)
            continue;
        const int gap = std::max(0, next->x() - label->geometry().right() - 1);
        const int shift = std::min(lineWidth(*label) - label->width(),
                                   std::max(0, next->width() - lineWidth(*next)));
        next->setGeometry(next->geometry().adjusted(shift, 0, 0, 0));
        label->resize(std::max(label->width(), next->x() - gap - label->x()), label->height());
    }
}

// The width a one-line label's text has: up to the label's right edge, its parent's, or a
// sibling that stands on the label further right (a caption's value), whichever comes first.
int lineRoom(const QLabel& label) {
    int right = label.geometry().right();
    if (const QWidget* parent = label.parentWidget()) {
        right = std::min(right, parent->width() - 1);
        for (const QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (sibling != &label && sibling->x() > label.x() &&
                sibling->geometry().intersects(label.geometry()))
                right = std::min(right, sibling->x() - 1);
    }
    return right - label.x() + 1 - (label.width() - label.contentsRect().width());
}

} // namespace

QSizeF textOverflow(const QWidget& control) {
    const QRect room = control.contentsRect();
    if (room.width() <= 0 || room.height() <= 0)
        return QSizeF(1.0, 1.0);
    int width = 0;
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        // A wrapped text needs height rather than width.
        if (label->wordWrap())
            return QSizeF(1.0, double(label->heightForWidth(label->width())) / label->height());
        const int room = lineRoom(*label);
        return QSizeF(
            double(label->fontMetrics().horizontalAdvance(label->text())) / std::max(room, 1), 1.0);
    } else if (qobject_cast<const QRadioButton*>(&control)) {
        width = control.sizeHint().width();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        // The "&" before a shortcut's letter is not drawn.
        width = button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&')) +
                button->iconSize().width();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(&control)) {
        width = group->fontMetrics().horizontalAdvance(group->title());
    }
    return QSizeF(double(width) / room.width(), 1.0);
}

double desktopTextScale() {
    // The application's font is the desktop's general font unless the program sets another.
    const double pointSize = QGuiApplication::font().pointSizeF();
    return std::max(1.0, pointSize / kDesignPointSize);
}

void scaleFormToDesktopText(QWidget& form) {
    const QList<QWidget*> children = form.findChildren<QWidget*>();
    // The same across and down, so that the form keeps its proportions.
    const QSizeF held = factorsTheScreenHolds(form, QSizeF(desktopTextScale(), desktopTextScale()));
    const double factor = std::max(1.0, std::min(held.width(), held.height()));
    if (factor > 1.0) {
        scaleFonts(form, children, factor);
        growGeometry(form, children, QSizeF(factor, factor));
    }
    // Measured in the fonts that a style sheet gives, as shown.
    form.ensurePolished();
    widenIntoSpareRoom(children);
    // Words longer than English ones grow the form once more, its fonts as they are: wider for a
    // line too long, taller for a wrapped text. Where the screen holds no more, the fonts give
    // way instead. A wrapped text that then takes fewer lines may need a second or third look.
    for (int look = 0; look < 4; ++look) {
        const QSizeF overflow = largestTextOverflow(children);
        const QSizeF growth = factorsTheScreenHolds(form, overflow).expandedTo(QSizeF(1.0, 1.0));
        if (growth.width() > 1.0 || growth.height() > 1.0)
            growGeometry(form, children, growth);
        const double left =
            std::max(overflow.width() / growth.width(), overflow.height() / growth.height());
        if (left > 1.0)
            scaleFonts(form, children, 1.0 / left);
        else if (growth == QSizeF(1.0, 1.0))
            break;
    }
}
