#include <functional>
#include <memory>
#include <set>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "FreshConfig.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/SettingsDialog.h"
#include "ui/StatisticsWindow.h"

namespace {

using OpenForm = std::function<std::unique_ptr<QWidget>(const settings::Settings&)>;

const std::tuple<const char*, QSize, OpenForm> kForms[] = {
    {"main window", {500, 439}, [](auto& s) { return std::make_unique<MainWindow>(s); }},
    {"settings", {441, 187}, [](auto& s) { return std::make_unique<SettingsDialog>(nullptr, s); }},
    {"stats", {436, 340}, [](auto& s) { return std::make_unique<StatisticsWindow>(nullptr, s); }},
    {"about", {559, 336}, [](auto&) { return std::make_unique<AboutBox>(nullptr); }},
};

// The width a control's text needs; a wrapped label's text is never wider than the label.
int textWidth(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->wordWrap() ? 0 : label->fontMetrics().horizontalAdvance(label->text());
    if (qobject_cast<const QRadioButton*>(&widget))
        return widget.sizeHint().width();
    const auto* button = qobject_cast<const QAbstractButton*>(&widget);
    // The "&" before a shortcut's letter is not drawn.
    return button ? button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&')) +
                        button->iconSize().width()
                  : 0;
}

} // namespace

TEST(DesktopText, EachFormGrowsWithTheDesktopFontAndEveryControlFitsItsTextAndHasANameAndKeys) {
    FreshConfig config;
    const QFont desktopFont = QApplication::font();
    for (const int pointSize : {9, 16}) {
        QApplication::setFont(QFont(desktopFont.family(), pointSize));
        for (const auto& [formName, designSize, open] : kForms) {
            SCOPED_TRACE(std::string(formName) + " at " + std::to_string(pointSize) + " pt");
            const std::unique_ptr<QWidget> form = open(config.settings());
            const double growth = double(form->width()) / designSize.width();
            // As far as the offscreen screen (800 x 800) holds the form.
            EXPECT_TRUE(pointSize == 9 ? form->size() == designSize : growth > 1.4);
            EXPECT_NEAR(double(form->height()) / designSize.height(), growth, 0.01);
            EXPECT_NEAR(form->font().pointSizeF(), 8 * growth, 0.05);
            std::set<QString> shortcuts;
            for (QWidget* child : form->findChildren<QWidget*>()) {
                if (!child->isVisibleTo(form.get()))
                    continue;
                const std::string name = child->objectName().toStdString();
                EXPECT_LE(textWidth(*child), child->contentsRect().width()) << name;
                const QString spoken =
                    QAccessible::queryAccessibleInterface(child)->text(QAccessible::Name);
                EXPECT_TRUE(child->focusPolicy() == Qt::NoFocus || !spoken.isEmpty()) << name;
                // Every button and the customize option, none of the presets.
                const auto* button = qobject_cast<QAbstractButton*>(child);
                const bool takesKeys =
                    button && (!qobject_cast<QRadioButton*>(child) || name == "customizeButton");
                // Underlined in its caption, so also told to assistive technology, and unique.
                EXPECT_TRUE(!takesKeys ||
                            (!button->shortcut().isEmpty() &&
                             QKeySequence::mnemonic(button->text()) == button->shortcut() &&
                             shortcuts.insert(button->shortcut().toString()).second))
                    << name;
            }
        }
    }
    QApplication::setFont(desktopFont);
}
