#pragma once

class QWidget;

// Widgets under a style sheet take the application's palette instead of their parent's, so
// under a dark desktop theme they would lose the form's designed colours: this hands the form's
// palette to them, keeping the roles each one sets itself.
void shareFormPaletteWithStyledWidgets(QWidget& form);
