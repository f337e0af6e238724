#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>

#include "engine/ChecksumFile.h"
#include "platform/Sha256.h"

// The SHA-256 of each piece and of the whole file, computed as the data passes through memory
// on its way from the source to the pieces, or from the pieces to the recreated file. The whole
// file's digest is computed on a thread of its own beside the piece's: one digest alone takes
// about as long as the copy it watches.
class RunningDigests {
public:
    RunningDigests();
    RunningDigests(const RunningDigests&) = delete;
    RunningDigests& operator=(const RunningDigests&) = delete;
    ~RunningDigests();

    // To the current piece and to the whole file; both are done when it returns.
    void add(const char* data, std::size_t size);
    // The current piece is complete; what is added next belongs to the next one.
    void endPiece();
    // Every piece ended so far, and the whole file.
    checksum_file::Digests finish();

private:
    void digestWholeFile();

    Sha256 m_piece;
    Sha256 m_whole;
    checksum_file::Digests m_digests;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    // The block the whole file's thread is to add; null when it has none.
    const char* m_block = nullptr;
    std::size_t m_blockSize = 0;
    std::exception_ptr m_wholeFailure;
    bool m_ending = false;
    std::thread m_wholeThread;
};
