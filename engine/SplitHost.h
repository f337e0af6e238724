#pragma once

#include <string>

// What the split job needs from whoever runs it: a progress display and a chance to let the
// caller's events run. The main window implements it with its label, the command line with its
// terminal, the tests with a recorder.
class SplitHost {
public:
    virtual ~SplitHost() = default;

    virtual void setProgressText(const std::string& text) = 0;
    virtual void showProgress() = 0;
    // Lets waiting window events run (repaints, clicks) and returns.
    virtual void processMessages() = 0;
};
