#include "engine/Job.h"

JobProgress Job::progress() const {
    JobProgress snapshot;
    // Read before what it may not exceed, so the snapshot never shows more on the medium than
    // was read, nor more read than written so far.
    snapshot.piecesOnMedium = m_piecesOnMedium.load();
    snapshot.bytesOnMedium = m_bytesOnMedium.load();
    snapshot.bytesRead = m_bytesRead.load();
    snapshot.currentPiece = m_currentPiece.load();
    snapshot.totalBytes = m_totalBytes.load();
    snapshot.pieceCount = m_pieceCount.load();
    return snapshot;
}

void Job::setTotals(std::int64_t totalBytes, std::int64_t pieceCount) {
    m_totalBytes.store(totalBytes);
    m_pieceCount.store(pieceCount);
}
