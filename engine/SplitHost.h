#pragma once

#include <string>

// What the split job needs from whoever runs it: a progress display and message boxes.
// The main window implements it with its label and Qt's boxes, the command line with its
// streams, the tests with a recorder.
class SplitHost {
public:
    virtual ~SplitHost() = default;

    virtual void setProgressText(const std::string& text) = 0;
    virtual void showProgress() = 0;
    // Lets waiting window events run (repaints, clicks) and returns.
    virtual void processMessages() = 0;
    // A modal information box with one OK button.
    virtual void information(const std::string& text) = 0;
    // A modal box with no icon, captioned with the program's title.
    virtual void plainMessage(const std::string& text) = 0;
};
