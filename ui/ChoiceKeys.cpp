#include "ui/ChoiceKeys.h"

#include <algorithm>
#include <iterator>

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRadioButton>

namespace {

// -1 for the keys that go back, 1 for those that go on, 0 for any other.
int arrowStep(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        return -1;
    case Qt::Key_Down:
    case Qt::Key_Right:
        return 1;
    default:
        return 0;
    }
}

// Qt's arrow keys move the focus by the buttons' places on the form (Left and Right jump out of
// the column) and select nothing once the focus stands on a choice; here the arrows follow the
// group's order and a choice is selected as it takes the focus.
class SelectOnFocus final : public QObject {
public:
    SelectOnFocus(QObject* parent, std::vector<QRadioButton*> choices)
        : QObject(parent), m_choices(std::move(choices)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::KeyPress)
            return false;
        // Found among the choices rather than cast: a button being destroyed is no longer one.
        const auto found = std::find(m_choices.begin(), m_choices.end(), watched);
        if (found == m_choices.end())
            return false;
        if (event->type() == QEvent::FocusIn) {
            (*found)->setChecked(true);
            return false;
        }
        const int step = arrowStep(*static_cast<QKeyEvent*>(event));
        if (step == 0)
            return false;
        const auto count = static_cast<int>(m_choices.size());
        const auto at = static_cast<int>(std::distance(m_choices.begin(), found));
        m_choices[static_cast<std::size_t>((at + step + count) % count)]->setFocus(
            Qt::OtherFocusReason);
        return true;
    }

private:
    const std::vector<QRadioButton*> m_choices;
};

class SelectOnKeyboardFocus final : public QObject {
public:
    SelectOnKeyboardFocus(QObject* parent, QRadioButton* choice)
        : QObject(parent), m_choice(choice) {}

    // Only the keys that move the focus: a click, or the focus coming back from a box, leaves
    // the choice as it was.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::FocusIn)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason)
            m_choice->setChecked(true);
        return false;
    }

private:
    QRadioButton* const m_choice;
};

void tabOnlyToTheSelected(const std::vector<QRadioButton*>& choices) {
    for (QRadioButton* choice : choices)
        choice->setFocusPolicy(choice->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

void selectChoicesWithTheFocus(const std::vector<QRadioButton*>& choices) {
    if (choices.empty())
        return;
    auto* selector = new SelectOnFocus(choices.front()->parent(), choices);
    for (QRadioButton* choice : choices) {
        choice->installEventFilter(selector);
        QObject::connect(choice, &QRadioButton::toggled, selector,
                         [choices] { tabOnlyToTheSelected(choices); });
    }
    tabOnlyToTheSelected(choices);
}

void selectChoiceWithItsCompanion(QRadioButton* choice, QWidget* companion) {
    companion->installEventFilter(new SelectOnKeyboardFocus(companion, choice));
}
