#pragma once

#include <string>

#include "settings/Settings.h"

class QWidget;

// What a form does as it is shown: its designed palette kept under a dark desktop theme, its
// stored size and its place at the centre of its screen.

// Widgets under a style sheet take the application's palette instead of their parent's, so
// under a dark desktop theme they would lose the form's designed colours: this hands the form's
// palette to them, keeping the roles each one sets itself.
void shareFormPaletteWithStyledWidgets(QWidget& form);

// Moves a top-level window to the centre of the screen it is on.
void centreOnScreen(QWidget& window);

// Applies the width and height stored under section in the layout file over the window's
// current size (0, none or a negative value keeps that dimension), within the available area of
// the window's screen: a larger window could not be painted. A size stored under another text
// scale than the desktop's (desktopTextScale) is not applied.
void restoreStoredSize(QWidget& window, const settings::Settings& settings,
                       const std::string& section);
// Stores the window's size under section, with the desktop's text scale.
void storeSize(const QWidget& window, const settings::Settings& settings,
               const std::string& section, LockWait lockWait = settings::kLockWait);
