#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include <poll.h>

#include "engine/Job.h"
#include "engine/JobRunner.h"
#include "platform/StopSignals.h"
#include "wording/GivingUp.h"

// Runs job beside this thread and, on this thread, until it ends: passes a stop signal on to it
// and hands its figures to show a few times a second. Should the job not stop in time, removes
// what it made and ends the program, saying after prefix what may be left. Returns its outcome;
// throws what it threw.
template <typename JobType>
auto runWatched(std::unique_ptr<JobType> job, StopSignals& signals, const std::string& prefix,
                const std::function<void(const JobProgress&)>& show) {
    // The figures are refreshed this often; the job's end and a stop signal wake the wait.
    constexpr int kShowMilliseconds = 100;
    JobRunner<JobType> runner(std::move(job));
    // Only while the job runs: after it, nothing of its is left to remove.
    struct GivingUpWatched {
        explicit GivingUpWatched(StopSignals& watched) : signals(watched) { signals.watchGiveUp(); }
        ~GivingUpWatched() { signals.unwatchGiveUp(); }
        StopSignals& signals;
    } const watched(signals);
    std::array<pollfd, 3> events = {pollfd{runner.endedDescriptor(), POLLIN, 0},
                                    pollfd{signals.wakeUpDescriptor(), POLLIN, 0},
                                    pollfd{signals.giveUpDescriptor(), POLLIN, 0}};
    bool stopping = false;
    while ((events[0].revents & POLLIN) == 0) {
        if ((events[2].revents & POLLIN) != 0)
            giveUpOnJob(runner.job().createdFiles(), prefix);
        show(runner.job().progress());
        if (!stopping && StopSignals::stopSignal() != 0) {
            runner.stop();
            stopping = true;
            // Readable from now on: only the job's end is waited for.
            events[1].fd = -1;
        }
        ::poll(events.data(), events.size(), kShowMilliseconds);
    }
    show(runner.job().progress());
    return runner.takeOutcome();
}
