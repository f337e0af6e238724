#pragma once

#include <functional>
#include <memory>

#include <poll.h>

#include "engine/Job.h"
#include "engine/JobRunner.h"
#include "platform/StopSignals.h"

// Runs job beside this thread and, on this thread, until it ends: passes a stop signal on to it
// and hands its figures to show a few times a second. Returns its outcome; throws what it threw.
template <typename JobType>
auto runWatched(std::unique_ptr<JobType> job, const StopSignals& signals,
                const std::function<void(const JobProgress&)>& show) {
    // The job's own end is not announced: it is looked for after each interval.
    constexpr int kIntervalMilliseconds = 100;
    JobRunner<JobType> runner(std::move(job));
    while (!runner.finished()) {
        show(runner.job().progress());
        if (StopSignals::stopSignal() != 0) {
            runner.stop();
            ::poll(nullptr, 0, kIntervalMilliseconds);
            continue;
        }
        pollfd wakeUp{signals.wakeUpDescriptor(), POLLIN, 0};
        ::poll(&wakeUp, 1, kIntervalMilliseconds);
    }
    show(runner.job().progress());
    return runner.outcome();
}
