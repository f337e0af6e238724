#include "ui/HandlerGuard.h"

#include <exception>

#include "platform/VisibleText.h"
#include "ui/NativeText.h"
#include "ui/Prompts.h"
#include "ui/WindowText.h"
#include "wording/FailureMessages.h"

QString standardErrorText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void runHandler(QWidget* parent, const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& error) {
        prompts().standardError(parent,
                                standardErrorText(fromNative(visibleText(failureText(error)))));
    } catch (...) {
        prompts().standardError(parent, orvantoText("An unknown error occurred."));
    }
}
