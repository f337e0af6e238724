#include "engine/RunningDigests.h"

void RunningDigests::add(const char* data, std::size_t size) {
    m_piece.add(data, size);
    m_whole.add(data, size);
}

void RunningDigests::endPiece() {
    m_digests.pieces.push_back(m_piece.finish());
}

checksum_file::Digests RunningDigests::finish() {
    m_digests.whole = m_whole.finish();
    return m_digests;
}
