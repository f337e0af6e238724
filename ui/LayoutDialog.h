#pragma once

#include <string>

#include <QDialog>

#include "settings/Settings.h"

// A modal dialog whose size lives in the layout file under its own section: restored when the
// dialog is created and saved each time it closes, whichever way it is closed.
class LayoutDialog : public QDialog {
    Q_OBJECT

public:
    // Every close of a dialog ends here: OK, the close box and Escape alike.
    void done(int result) override;

protected:
    LayoutDialog(QWidget* owner, settings::Settings settings, std::string section);

    const settings::Settings& storedSettings() const { return m_settings; }

    // Applies the stored width and height over the design size; 0 keeps a dimension.
    void restoreLayoutSize();

private:
    settings::Settings m_settings;
    std::string m_section;
};
