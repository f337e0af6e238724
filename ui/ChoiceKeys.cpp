#include "ui/ChoiceKeys.h"

#include <QEvent>
#include <QRadioButton>

namespace {

// Qt's arrow keys move the focus over unselected choices and select nothing once the focus
// stands on one; here a choice is selected as it takes the focus.
class SelectOnFocus final : public QObject {
public:
    explicit SelectOnFocus(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn)
            static_cast<QRadioButton*>(watched)->setChecked(true);
        return false;
    }
};

void tabOnlyToTheSelected(const std::vector<QRadioButton*>& choices) {
    for (QRadioButton* choice : choices)
        choice->setFocusPolicy(choice->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

void selectChoicesWithTheFocus(const std::vector<QRadioButton*>& choices) {
    if (choices.empty())
        return;
    auto* selector = new SelectOnFocus(choices.front()->parent());
    for (QRadioButton* choice : choices) {
        choice->installEventFilter(selector);
        QObject::connect(choice, &QRadioButton::toggled, selector,
                         [choices] { tabOnlyToTheSelected(choices); });
    }
    tabOnlyToTheSelected(choices);
}
