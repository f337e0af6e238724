#pragma once

#include <functional>

#include <QString>

class QWidget;

// The text the standard error box shows for an error message: a full stop is appended when the
// message's last character sorts after ".".
QString standardErrorText(const QString& message);

// Runs an event handler's work; whatever it throws ends the handler and is shown in the
// standard error box, so no exception ever reaches Qt.
void runHandler(QWidget* parent, const std::function<void()>& work);
