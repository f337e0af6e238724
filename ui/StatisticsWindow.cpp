#include "ui/StatisticsWindow.h"

#include <QStyle>

#include "platform/MemoryStatus.h"
#include "settings/Settings.h"
#include "ui/DesktopTextScale.h"
#include "ui/FormOnScreen.h"
#include "ui/WindowText.h"
#include "ui_StatisticsWindow.h"

namespace {

QString withPercent(std::uint64_t percentage) {
    return QString::number(percentage) + QLatin1Char('%');
}

// The swap and counter labels grow with their text.
void setSizedText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

} // namespace

StatisticsWindow::StatisticsWindow(QWidget* owner, const settings::Settings& settings)
    : LayoutDialog(owner, settings, settings::kStatisticsWindowSection),
      m_ui(std::make_unique<Ui::StatisticsWindow>()) {
    m_ui->setupUi(this);
    scaleFormToDesktopText(*this);
    m_ui->okButton->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    restoreLayoutSize();
    centreOnScreen(*this);
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::showMemoryStatus(const MemoryStatus& status) {
    m_ui->totalMemoryLabel->setText(
        orvantoText("Total RAM memory on your system = %1").arg(status.totalPhysical));
    m_ui->availableMemoryLabel->setText(
        orvantoText("RAM memory currently available  = %1").arg(status.availablePhysical));
    m_ui->memoryPercentLabel->setText(
        orvantoText("Percentage of RAM memory available = %1")
            .arg(withPercent(percentAvailable(status.availablePhysical, status.totalPhysical))));
    setSizedText(m_ui->totalSwapLabel,
                 orvantoText("Maximum storage in swap file = %1").arg(status.totalSwap));
    setSizedText(m_ui->availableSwapLabel,
                 orvantoText("Available swap file space = %1").arg(status.availableSwap));
    setSizedText(m_ui->swapPercentLabel,
                 orvantoText("Percentage of swap file available  = %1")
                     .arg(withPercent(percentAvailable(status.availableSwap, status.totalSwap))));
}

void StatisticsWindow::showSplitCounter(std::int32_t splits) {
    setSizedText(m_ui->splitCountLabel,
                 orvantoText("The total number of files that you have split -> %1").arg(splits));
    // Spoken without the arrow.
    m_ui->splitCountLabel->setAccessibleName(
        orvantoText("The total number of files that you have split: %1").arg(splits));
}

void showStatisticsWindow(QWidget* owner, const settings::Settings& settings,
                          const std::string& memInfoPath) {
    StatisticsWindow window(owner, settings);
    window.showMemoryStatus(readMemoryStatus(memInfoPath));
    window.showSplitCounter(settings.readSplitCounter());
    window.exec();
}

std::uint64_t percentAvailable(std::uint64_t available, std::uint64_t total) {
    const std::uint64_t hundredths = total / 100;
    // A machine without swap reports a total of 0.
    if (hundredths == 0)
        return 0;
    return available / hundredths;
}
