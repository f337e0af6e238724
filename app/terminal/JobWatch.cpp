#include "app/terminal/JobWatch.h"

#include <chrono>
#include <thread>

#include "app/terminal/StopSignals.h"
#include "engine/Job.h"
#include "platform/JobThread.h"

namespace {

constexpr std::chrono::milliseconds kWatchInterval{50};
constexpr int kLooksPerShow = 5;

} // namespace

void runWatched(Job& job, const std::function<void()>& run,
                const std::function<void(const JobProgress&)>& show) {
    JobThread thread(run);
    for (int look = 0; !thread.finished(); ++look) {
        if (stop_signals::stopSignal() != 0)
            job.requestStop();
        if (look % kLooksPerShow == 0)
            show(job.progress());
        std::this_thread::sleep_for(kWatchInterval);
    }
    show(job.progress());
    thread.join();
}
