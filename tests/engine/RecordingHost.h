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
    void information(const std::string& text) override { informations.push_back(text); }
    void plainMessage(const std::string& text) override { plainMessages.push_back(text); }

    std::vector<std::string> progressTexts;
    std::vector<std::string> informations;
    std::vector<std::string> plainMessages;
    int showCount = 0;
    long processCount = 0;
    std::function<void()> onProcessMessages;
};
