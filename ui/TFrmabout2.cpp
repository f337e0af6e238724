#include "ui/TFrmabout2.h"

#include <QPushButton>

#include "ui/FormPalette.h"
#include "ui/ScreenCentre.h"
#include "ui_TFrmabout2.h"

TFrmabout2::TFrmabout2(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      m_ui(std::make_unique<Ui::TFrmabout2>()) {
    m_ui->setupUi(this);
    shareFormPaletteWithStyledWidgets(*this);
    setFixedSize(size());
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    centreOnScreen(*this);
}

TFrmabout2::~TFrmabout2() = default;
