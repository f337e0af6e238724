#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/ChecksumFile.h"
#include "platform/IoBuffer.h"

class File;

// The SHA-256 of each piece and of the whole file, computed as the data is copied from the
// source to the pieces, or from the pieces to the recreated file. The copying thread reads and
// writes through a ring of large buffers; two workers beside it, one per digest, follow it
// through the ring at their own pace. The copy waits only when the digests are a whole ring
// behind, and neither digest ever waits for the other.
class RunningDigests {
public:
    // Each copy moves at most this much: large enough that the system calls cost little, small
    // enough that a stop is seen within a block.
    static constexpr std::size_t kBlockBytes = 1 << 20;
    static constexpr std::size_t kBlocksInFlight = 8;

    // What is digested: every piece's and the whole file's, or the whole file's alone (a join
    // digests its pieces only when the whole file's digest differs, to name the damaged ones).
    enum class Kept { PiecesAndWhole, WholeOnly };

    explicit RunningDigests(Kept kept = Kept::PiecesAndWhole);
    RunningDigests(const RunningDigests&) = delete;
    RunningDigests& operator=(const RunningDigests&) = delete;
    // Abandons the digests not yet finished.
    ~RunningDigests();

    // Copies up to count bytes (at most kBlockBytes) from source's position to destination's
    // and hands them to both digests; returns how many it copied, fewer only at the end of the
    // source. Throws IoError, or what a digest threw.
    std::size_t copy(File& source, File& destination, std::size_t count);
    // The current piece is complete; what is copied next belongs to the next one.
    void endPiece();
    // Waits for the digests: every piece ended so far (none with Kept::WholeOnly), and the whole
    // file.
    checksum_file::Digests finish();

private:
    struct Block {
        IoBuffer data{kBlockBytes};
        std::size_t size = 0;
        bool endsPiece = false;
    };
    enum Worker { WholeFile, EachPiece, kWorkerCount };

    // The buffer to fill next, once both digests are done with what it held.
    Block& nextFree();
    void handOn();
    void digest(Worker worker);
    bool behind(Worker worker) const;
    void stopWorkers(bool abandon);

    std::array<Block, kBlocksInFlight> m_blocks;
    std::mutex m_mutex;
    std::condition_variable m_handed;
    std::condition_variable m_freed;
    std::uint64_t m_handedCount = 0;
    std::array<std::uint64_t, kWorkerCount> m_digestedCount{};
    // The workers that run: WholeFile, and EachPiece unless only the whole file is kept.
    const int m_workerCount;
    // Who sleeps on m_handed and m_freed: only they are woken.
    int m_waitingForData = 0;
    int m_waitingForBlocks = 0;
    bool m_noMoreBlocks = false;
    bool m_abandoned = false;
    std::exception_ptr m_failure;
    // Written by their workers, read once they have ended.
    checksum_file::Digests m_digests;
    std::array<std::thread, kWorkerCount> m_workers;
};
