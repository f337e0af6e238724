#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class AboutBox;
}

// The about box: version line, the disclaimer, and "Return".
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* owner);
    ~AboutBox() override;

private:
    std::unique_ptr<Ui::AboutBox> m_ui;
};
