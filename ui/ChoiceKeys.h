#pragma once

#include <vector>

class QRadioButton;

// Makes auto-exclusive radio buttons one stop of the tab chain, as a radio group is on any
// desktop: Tab reaches only the selected choice, and whatever gives a choice the focus (an arrow
// key, its shortcut, a click) selects it, so the focus and the selection never disagree.
void selectChoicesWithTheFocus(const std::vector<QRadioButton*>& choices);
