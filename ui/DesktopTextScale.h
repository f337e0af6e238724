#pragma once

#include <QSizeF>

class QWidget;

// How much larger the desktop's general font is than the 9 pt the forms were drawn for; never
// below 1, so a desktop that sets no font keeps the forms as drawn.
double desktopTextScale();

// Grows a form drawn with fixed fonts and pixel geometry by the desktop's text scale, as far as
// its screen holds it: the form, every child placed by pixels and every font set on a widget, all
// by one factor, so the form keeps its proportions and nothing new can overlap. Children that a
// layout places follow their layout. Where a text is still too large for its control (a language
// with longer words than English), the geometry grows again, wider or taller, as far as the
// largest overflow needs and the screen holds; beyond that the fonts become smaller.
void scaleFormToDesktopText(QWidget& form);

// How many times wider and taller a control must be for its text to show whole (a wrapped label
// needs only height): at most 1 each way when it fits.
QSizeF textOverflow(const QWidget& control);
