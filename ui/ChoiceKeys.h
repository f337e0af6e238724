#pragma once

#include <vector>

class QRadioButton;
class QWidget;

// Makes auto-exclusive radio buttons one stop of the tab chain, as a radio group is on any
// desktop: Tab reaches only the selected choice, the arrow keys go to the previous or next choice
// in the order given (round at the ends), and whatever gives a choice the focus (an arrow key,
// its shortcut, a click) selects it, so the focus and the selection never disagree.
void selectChoicesWithTheFocus(const std::vector<QRadioButton*>& choices);

// Tab or a shortcut giving companion (the list whose entry choice uses) the focus selects choice
// too; a click does not, so that it can still remind the user to select choice.
void selectChoiceWithItsCompanion(QRadioButton* choice, QWidget* companion);
