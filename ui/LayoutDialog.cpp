#include "ui/LayoutDialog.h"

#include <utility>

#include "settings/Settings.h"
#include "ui/HandlerGuard.h"
#include "ui/StoredSize.h"

LayoutDialog::LayoutDialog(QWidget* owner, std::string section)
    : QDialog(owner), m_section(std::move(section)) {}

void LayoutDialog::restoreLayoutSize() {
    // A layout file that cannot be read is reported and the designed size kept.
    runHandler(this, [this] { restoreStoredSize(*this, m_section); });
}

void LayoutDialog::done(int result) {
    saveLayoutSize();
    QDialog::done(result);
}

void LayoutDialog::saveLayoutSize() {
    runHandler(this, [this] {
        settings::WriteLayoutSize(width(), height(), m_section, settings::layoutFilePath());
    });
}
