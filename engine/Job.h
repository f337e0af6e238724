#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

#include "platform/CreatedFiles.h"

// What a running job has done so far, in numbers; the window and the terminal programs make
// their words from it.
struct JobProgress {
    std::int64_t bytesRead = 0;
    // Only what the device has taken: the figure a percentage shows.
    std::int64_t bytesOnMedium = 0;
    std::int64_t totalBytes = 0;
    // 1-based; 0 before the first piece.
    std::int64_t currentPiece = 0;
    std::int64_t pieceCount = 0;
    // Pieces whose every byte is on the medium.
    std::int64_t piecesOnMedium = 0;
};

// The shape the split and the join share: run() on any one thread, requestStop() and progress()
// from any other. Nothing of it is shared between jobs.
class Job {
public:
    Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // The job stops at its next step and removes what it wrote.
    void requestStop() { m_stopRequested.store(true); }
    // Set by requestStop(): the job's thread reads it when a system call is interrupted.
    const std::atomic<bool>& stopFlag() const { return m_stopRequested; }
    JobProgress progress() const;
    // The files it made and has not removed; the copy shares the job's record, so that another
    // thread can remove them when the job hangs.
    CreatedFiles createdFiles() const { return m_createdFiles; }

    // Called on the job's thread at each step, where a stop takes effect: a test stops or holds
    // the job there.
    void observeSteps(std::function<void()> observer) { m_stepObserver = std::move(observer); }

protected:
    ~Job() = default;

    bool stopRequested() const { return m_stopRequested.load(); }
    // A step: true when the job is to stop.
    bool stepEndsJob() const {
        if (m_stepObserver)
            m_stepObserver();
        return stopRequested();
    }
    void setTotals(std::int64_t totalBytes, std::int64_t pieceCount);
    void startPiece(std::int64_t piece) { m_currentPiece.store(piece); }
    void addRead(std::int64_t bytes) { m_bytesRead.fetch_add(bytes); }
    void addOnMedium(std::int64_t bytes) { m_bytesOnMedium.fetch_add(bytes); }
    void pieceOnMedium() { m_piecesOnMedium.fetch_add(1); }
    CreatedFiles& record() { return m_createdFiles; }

private:
    std::function<void()> m_stepObserver;
    CreatedFiles m_createdFiles;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<std::int64_t> m_bytesRead{0};
    std::atomic<std::int64_t> m_bytesOnMedium{0};
    std::atomic<std::int64_t> m_totalBytes{0};
    std::atomic<std::int64_t> m_currentPiece{0};
    std::atomic<std::int64_t> m_pieceCount{0};
    std::atomic<std::int64_t> m_piecesOnMedium{0};
};
