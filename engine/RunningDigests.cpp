#include "engine/RunningDigests.h"

#include <algorithm>

#include "platform/BackgroundThread.h"
#include "platform/File.h"
#include "platform/Sha256.h"

RunningDigests::RunningDigests(Kept kept)
    : m_workerCount(kept == Kept::WholeOnly ? 1 : kWorkerCount) {
    for (int worker = 0; worker < m_workerCount; ++worker)
        m_workers[worker] = std::thread([this, worker] { digest(static_cast<Worker>(worker)); });
}

RunningDigests::~RunningDigests() {
    stopWorkers(true);
}

std::size_t RunningDigests::copy(File& source, File& destination, std::size_t count) {
    Block& block = nextFree();
    block.size = source.readFully(block.data.data(), std::min(count, kBlockBytes));
    block.endsPiece = false;
    destination.write(block.data.data(), block.size);
    handOn();
    return block.size;
}

void RunningDigests::endPiece() {
    Block& marker = nextFree();
    marker.size = 0;
    marker.endsPiece = true;
    handOn();
}

checksum_file::Digests RunningDigests::finish() {
    stopWorkers(false);
    if (m_failure)
        std::rethrow_exception(m_failure);
    return m_digests;
}

RunningDigests::Block& RunningDigests::nextFree() {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto freed = [this] {
        const std::uint64_t slowest =
            *std::min_element(m_digestedCount.begin(), m_digestedCount.begin() + m_workerCount);
        return m_failure || m_handedCount - slowest < kBlocksInFlight;
    };
    ++m_waitingForBlocks;
    m_freed.wait(lock, freed);
    --m_waitingForBlocks;
    if (m_failure)
        std::rethrow_exception(m_failure);
    return m_blocks[m_handedCount % kBlocksInFlight];
}

void RunningDigests::handOn() {
    bool anyoneWaits = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_handedCount;
        anyoneWaits = m_waitingForData > 0;
    }
    // A worker that is busy finds the block when it next looks.
    if (anyoneWaits)
        m_handed.notify_all();
}

bool RunningDigests::behind(Worker worker) const {
    return m_digestedCount[worker] < m_handedCount;
}

// Runs below the window's priority, so that digesting never delays its answers.
void RunningDigests::digest(Worker worker) {
    background_thread::yieldToForeground();
    const auto fail = [this](std::unique_lock<std::mutex>& lock) {
        if (!lock.owns_lock())
            lock.lock();
        m_failure = std::current_exception();
        m_freed.notify_all();
    };
    Sha256 sha256;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        ++m_waitingForData;
        m_handed.wait(lock, [&] { return behind(worker) || m_noMoreBlocks || m_abandoned; });
        --m_waitingForData;
        if (m_abandoned)
            return;
        if (!behind(worker))
            break;
        const Block& block = m_blocks[m_digestedCount[worker] % kBlocksInFlight];
        lock.unlock();
        try {
            sha256.add(block.data.data(), block.size);
            if (worker == EachPiece && block.endsPiece)
                m_digests.pieces.push_back(sha256.finish());
        } catch (...) {
            return fail(lock);
        }
        lock.lock();
        ++m_digestedCount[worker];
        if (m_waitingForBlocks > 0)
            m_freed.notify_all();
    }
    lock.unlock();
    try {
        if (worker == WholeFile)
            m_digests.whole = sha256.finish();
    } catch (...) {
        fail(lock);
    }
}

void RunningDigests::stopWorkers(bool abandon) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_noMoreBlocks = true;
        m_abandoned = m_abandoned || abandon;
    }
    m_handed.notify_all();
    for (std::thread& worker : m_workers)
        if (worker.joinable())
            worker.join();
}
