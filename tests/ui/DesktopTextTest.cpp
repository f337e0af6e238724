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
#include "InLanguage.h"
#include "ui/AboutBox.h"
#include "ui/DesktopTextScale.h"
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

} // namespace

// In English, and in every language whose words are longer: German, Russian, and a pseudo-language
// 40 % longer than English.
TEST(DesktopText, EachFormGrowsWithTheDesktopFontAndEveryControlFitsItsTextAndHasANameAndKeys) {
    FreshConfig config;
    const QFont desktopFont = QApplication::font();
    for (const char* language : {"en", "de", "ru", "pseudo"})
        for (const int pointSize : {9, 16}) {
            const InLanguage speaking(language);
            QApplication::setFont(QFont(desktopFont.family(), pointSize));
            for (const auto& [formName, designSize, open] : kForms) {
                SCOPED_TRACE(std::string(formName) + " in " + language + " at " +
                             std::to_string(pointSize) + " pt");
                const std::unique_ptr<QWidget> form = open(config.settings());
                const double growth = double(form->width()) / designSize.width();
                // As far as the offscreen screen (800 x 800) holds the form; other languages grow
                // where their words need it.
                if (language == std::string("en")) {
                    EXPECT_TRUE(pointSize == 9 ? form->size() == designSize : growth > 1.4);
                    EXPECT_NEAR(double(form->height()) / designSize.height(), growth, 0.01);
                    EXPECT_NEAR(form->font().pointSizeF(), 8 * growth, 0.05);
                }
                std::set<QString> shortcuts;
                for (QWidget* child : form->findChildren<QWidget*>()) {
                    // Shown or not yet: the file's caption appears once a file is chosen.
                    const std::string name = child->objectName().toStdString();
                    EXPECT_LE(textOverflow(*child).width(), 1.0) << name;
                    EXPECT_LE(textOverflow(*child).height(), 1.0) << name;
                    if (!child->isVisibleTo(form.get()))
                        continue;
                    const QString spoken =
                        QAccessible::queryAccessibleInterface(child)->text(QAccessible::Name);
                    EXPECT_TRUE(child->focusPolicy() == Qt::NoFocus || !spoken.isEmpty()) << name;
                    // No entry of a list says it has the focus while the list has not.
                    const QAccessibleInterface* whole =
                        QAccessible::queryAccessibleInterface(child);
                    for (int i = 0; whole->role() == QAccessible::List && i < whole->childCount();
                         ++i)
                        EXPECT_TRUE(child->hasFocus() || !whole->child(i)->state().focused) << name;
                    // Every button and the customize option, none of the presets.
                    const auto* button = qobject_cast<QAbstractButton*>(child);
                    const bool takesKeys = button && (!qobject_cast<QRadioButton*>(child) ||
                                                      name == "customizeButton");
                    // Underlined in its caption, so also told to assistive technology, and unique.
                    EXPECT_TRUE(!takesKeys ||
                                (!button->shortcut().isEmpty() &&
                                 QKeySequence::mnemonic(button->text()) == button->shortcut() &&
                                 shortcuts.insert(button->shortcut().toString()).second))
                        << name;
                }
            }
            // A form the screen cannot hold keeps its design size rather than shrink.
            QWidget large;
            large.resize(1000, 1000);
            scaleFormToDesktopText(large);
            EXPECT_EQ(large.size(), QSize(1000, 1000));
        }
    QApplication::setFont(desktopFont);
}
