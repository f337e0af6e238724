#pragma once

#include <string>

class QWidget;

namespace settings {
class Settings;
}

// Applies the width and height stored under section in the layout file over the window's
// current size (0, none or a negative value keeps that dimension), within the available area of
// the window's screen: a larger window could not be painted. A size stored under another text
// scale than the desktop's (desktopTextScale) is not applied.
void restoreStoredSize(QWidget& window, const settings::Settings& settings,
                       const std::string& section);
// Stores the window's size under section, with the desktop's text scale.
void storeSize(const QWidget& window, const settings::Settings& settings,
               const std::string& section);
