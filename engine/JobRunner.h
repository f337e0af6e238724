#pragma once

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <variant>

#include "platform/Interruption.h"
#include "platform/Notice.h"

// One run of one job (a SplitJob or a JoinJob) on a thread of its own: made afresh for each run,
// it holds, once the job has ended, either its outcome or what it threw, never both and never
// neither. Its owner learns of the end by an event (endedDescriptor() turns readable) and takes
// the result once. Going, it stops the job and waits for its thread.
template <typename JobType> class JobRunner {
public:
    using Outcome = decltype(std::declval<JobType&>().run());

    // The job is ready to run (its step observer set, if any); it starts at once.
    explicit JobRunner(std::unique_ptr<JobType> job)
        : m_job(std::move(job)), m_thread([this] { runJob(); }) {}
    ~JobRunner() {
        stop();
        joinThreads();
    }
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // For progress() and what else may be read from another thread.
    const JobType& job() const { return *m_job; }
    // Readable from the job's end on, for poll() or a QSocketNotifier.
    int endedDescriptor() const { return m_ended.descriptor(); }

    // Asks the job to stop, and interrupts the system call its thread waits in, again until
    // the job has ended, as a call may start just after one interruption.
    void stop() {
        m_job->requestStop();
        if (m_interrupter.joinable())
            return;
        m_interrupter = std::thread([this] {
            while (!m_ended.waitFor(kInterruptInterval))
                interruption::interruptThread(m_thread);
        });
    }

    // Waits for the end of the job; returns its outcome or throws what it threw. Only once: the
    // result then belongs to the caller.
    Outcome takeOutcome() {
        joinThreads();
        if (!m_result)
            throw std::logic_error("the job's result was taken before");
        auto result = std::move(*m_result);
        m_result.reset();
        if (auto* failure = std::get_if<std::exception_ptr>(&result))
            std::rethrow_exception(*failure);
        return std::get<Outcome>(std::move(result));
    }

private:
    static constexpr std::chrono::milliseconds kInterruptInterval{50};

    void runJob() {
        const interruption::JobStopOnThisThread stopHere(m_job->stopFlag());
        try {
            m_result.emplace(m_job->run());
        } catch (...) {
            m_result.emplace(std::current_exception());
        }
        m_ended.give();
    }

    // The interrupter first: it signals the job's thread, which must not have been joined yet.
    void joinThreads() {
        if (m_interrupter.joinable())
            m_interrupter.join();
        if (m_thread.joinable())
            m_thread.join();
    }

    std::unique_ptr<JobType> m_job;
    std::optional<std::variant<Outcome, std::exception_ptr>> m_result;
    Notice m_ended;
    std::thread m_thread;
    std::thread m_interrupter;
};
