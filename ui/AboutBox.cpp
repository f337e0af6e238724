#include "ui/AboutBox.h"

#include <QPushButton>

#include "Version.h"
#include "ui/DesktopTextScale.h"
#include "ui/FormOnScreen.h"
#include "ui_AboutBox.h"

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_ui(std::make_unique<Ui::AboutBox>()) {
    m_ui->setupUi(this);
    m_ui->versionLabel->setText(m_ui->versionLabel->text().arg(QLatin1String(ORVANTO_VERSION)));
    shareFormPaletteWithStyledWidgets(*this);
    scaleFormToDesktopText(*this);
    setFixedSize(size());
    connect(m_ui->returnButton, &QPushButton::clicked, this, &QDialog::accept);
    centreOnScreen(*this);
}

AboutBox::~AboutBox() = default;
