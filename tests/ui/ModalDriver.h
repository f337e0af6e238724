#pragma once

#include <functional>

#include <QTimer>

class QDialog;

// Acts on the next modal dialog from inside its own event loop, so that a test can run the
// real blocking exec(). Stops looking when it goes out of scope.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QDialog&)> action);

    // True once the action has run on a shown dialog.
    bool acted() const { return m_acted; }

private:
    std::function<void(QDialog&)> m_action;
    QTimer m_timer;
    bool m_acted = false;
};

// Clicks a dialog's button by object name and checks that this closed the dialog; a dialog that
// stays open is closed so the test cannot hang.
void clickAndExpectClosed(QDialog& dialog, const char* buttonName);
// The close box: a close request from the window system.
void closeByCloseBox(QDialog& dialog);
