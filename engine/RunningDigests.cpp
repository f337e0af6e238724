#include "engine/RunningDigests.h"

namespace {

// What adding to digest throws, kept for the thread that waits for it.
std::exception_ptr failureOfAdding(Sha256& digest, const char* data, std::size_t size) {
    try {
        digest.add(data, size);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

} // namespace

RunningDigests::RunningDigests() : m_wholeThread([this] { digestWholeFile(); }) {}

RunningDigests::~RunningDigests() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    m_wholeThread.join();
}

void RunningDigests::digestWholeFile() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_block != nullptr || m_ending; });
        if (m_ending)
            return;
        lock.unlock();
        const std::exception_ptr failure = failureOfAdding(m_whole, m_block, m_blockSize);
        lock.lock();
        m_wholeFailure = failure;
        m_block = nullptr;
        m_changed.notify_all();
    }
}

void RunningDigests::add(const char* data, std::size_t size) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_block = data;
        m_blockSize = size;
    }
    m_changed.notify_all();
    const std::exception_ptr pieceFailure = failureOfAdding(m_piece, data, size);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_block == nullptr; });
    if (pieceFailure)
        std::rethrow_exception(pieceFailure);
    if (m_wholeFailure)
        std::rethrow_exception(m_wholeFailure);
}

void RunningDigests::endPiece() {
    m_digests.pieces.push_back(m_piece.finish());
}

checksum_file::Digests RunningDigests::finish() {
    m_digests.whole = m_whole.finish();
    return m_digests;
}
