#include "ui/LayoutDialog.h"

#include <utility>

#include "settings/Settings.h"
#include "ui/HandlerGuard.h"

LayoutDialog::LayoutDialog(QWidget* owner, std::string section)
    : QDialog(owner), m_section(std::move(section)) {}

void LayoutDialog::restoreLayoutSize() {
    // A layout file that cannot be read is reported and the designed size kept; a negative size
    // is ignored too, as it would leave no window to see.
    runHandler(this, [this] {
        const std::string& layoutPath = settings::layoutFilePath();
        const int width = settings::ReadLayoutWidth(m_section, layoutPath);
        if (width > 0)
            resize(width, height());
        const int height = settings::ReadLayoutHeight(m_section, layoutPath);
        if (height > 0)
            resize(this->width(), height);
    });
}

void LayoutDialog::done(int result) {
    FormCloseQuery();
    QDialog::done(result);
}

void LayoutDialog::FormCloseQuery() {
    runHandler(this, [this] {
        settings::WriteLayoutSize(width(), height(), m_section, settings::layoutFilePath());
    });
}
