#pragma once

#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <variant>

#include "platform/Interruption.h"

// One run of one job (a SplitJob or a JoinJob) on a thread of its own: made afresh for each run,
// it holds, once the job has ended, either its outcome or what it threw, never both and never
// neither. Going, it stops the job and waits for its thread.
template <typename JobType> class JobRunner {
public:
    using Outcome = decltype(std::declval<JobType&>().run());

    // The job is ready to run (its step observer set, if any); it starts at once.
    explicit JobRunner(std::unique_ptr<JobType> job)
        : m_job(std::move(job)), m_thread([this] { runJob(); }) {}
    ~JobRunner() {
        stop();
        if (m_thread.joinable())
            m_thread.join();
        if (m_interrupter.joinable())
            m_interrupter.join();
    }
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // For progress() and what else may be read from another thread.
    const JobType& job() const { return *m_job; }
    bool finished() const { return m_finished.load(); }

    // Asks the job to stop, and interrupts the system call its thread waits in, again and again
    // until the job has ended, as a call may start just after one interruption.
    void stop() {
        m_job->requestStop();
        if (m_interrupter.joinable() || finished())
            return;
        m_interrupter = std::thread([this] {
            while (!finished()) {
                interruption::interruptThread(m_thread);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }

    // Waits for the end of the job; returns its outcome or throws what it threw.
    Outcome outcome() {
        if (m_thread.joinable())
            m_thread.join();
        if (const auto* failure = std::get_if<std::exception_ptr>(&*m_result))
            std::rethrow_exception(*failure);
        return std::get<Outcome>(*m_result);
    }

private:
    void runJob() {
        const interruption::JobStopOnThisThread stopHere(m_job->stopFlag());
        try {
            m_result.emplace(m_job->run());
        } catch (...) {
            m_result.emplace(std::current_exception());
        }
        m_finished.store(true);
    }

    std::unique_ptr<JobType> m_job;
    std::optional<std::variant<Outcome, std::exception_ptr>> m_result;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
    std::thread m_interrupter;
};
