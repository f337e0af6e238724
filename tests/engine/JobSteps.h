#pragma once

#include <functional>

// Counts a split job's steps and lets a test act at one of them, on the job's thread.
struct JobSteps {
    long count = 0;
    std::function<void()> onStep;
};
