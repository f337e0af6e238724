#include "ui/LayoutDialog.h"

#include <utility>

#include "ui/FormOnScreen.h"
#include "ui/HandlerGuard.h"

LayoutDialog::LayoutDialog(QWidget* owner, settings::Settings settings, std::string section)
    : QDialog(owner), m_settings(std::move(settings)), m_section(std::move(section)) {}

void LayoutDialog::restoreLayoutSize() {
    // A layout file that cannot be read is reported and the designed size kept.
    runHandler(this, [this] { restoreStoredSize(*this, m_settings, m_section); });
}

void LayoutDialog::done(int result) {
    // A refused write is shown and the close goes on.
    runHandler(this, [this] { storeSize(*this, m_settings, m_section); });
    QDialog::done(result);
}
