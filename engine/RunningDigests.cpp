#include "engine/RunningDigests.h"

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
        std::exception_ptr failure;
        try {
            m_whole.add(m_block, m_blockSize);
        } catch (...) {
            failure = std::current_exception();
        }
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
    std::exception_ptr pieceFailure;
    try {
        m_piece.add(data, size);
    } catch (...) {
        pieceFailure = std::current_exception();
    }
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
