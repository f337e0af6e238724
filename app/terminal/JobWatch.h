#pragma once

#include <functional>

class Job;
struct JobProgress;

// Runs run (which runs job) on a thread of its own and, on this thread, until it ends: passes a
// stop signal on to the job and hands its figures to show a few times a second. Throws what
// run threw.
void runWatched(Job& job, const std::function<void()>& run,
                const std::function<void(const JobProgress&)>& show);
