#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class TFrmabout2;
}

// The about box: version line, the disclaimer, and "Return".
class TFrmabout2 final : public QDialog {
    Q_OBJECT
public:
    explicit TFrmabout2(QWidget* owner);
    ~TFrmabout2() override;

private:
    std::unique_ptr<Ui::TFrmabout2> m_ui;
};
