#include "ModalDriver.h"

#include <utility>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

ModalDriver::ModalDriver(std::function<void(QDialog&)> action) : m_action(std::move(action)) {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        m_timer.stop();
        m_acted = true;
        m_action(*dialog);
    });
    m_timer.start();
}

void clickAndExpectClosed(QDialog& dialog, const char* buttonName) {
    auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(buttonName));
    EXPECT_NE(button, nullptr) << "no button " << buttonName;
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible()) << buttonName << " left the dialog open";
    if (dialog.isVisible())
        dialog.done(QDialog::Rejected);
}

void closeByCloseBox(QDialog& dialog) {
    dialog.close();
    EXPECT_FALSE(dialog.isVisible()) << "the close box left the dialog open";
    if (dialog.isVisible())
        dialog.done(QDialog::Rejected);
}
