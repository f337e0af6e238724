#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/SplitHost.h"

// Keeps what the split job shows, and lets a test act while the job yields.
class RecordingHost final : public SplitHost {
public:
    void setProgressText(const std::string& text) override { progressTexts.push_back(text); }
    void showProgress() override { ++showCount; }
    void processMessages() override {
        ++processCount;
        if (onProcessMessages)
            onProcessMessages();
    }

    std::vector<std::string> progressTexts;
    int showCount = 0;
    long processCount = 0;
    std::function<void()> onProcessMessages;
};
