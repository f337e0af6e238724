#pragma once

class QWidget;

// How much larger the desktop's general font is than the 9 pt the forms were drawn for; never
// below 1, so a desktop that sets no font keeps the forms as drawn.
double desktopTextScale();

// Grows a form drawn with fixed fonts and pixel geometry by the desktop's text scale, as far as
// its screen holds it: the form, every child placed by pixels and every font set on a widget, all
// by one factor, so the form keeps its proportions and nothing new can overlap. Children that a
// layout places follow their layout.
void scaleFormToDesktopText(QWidget& form);
