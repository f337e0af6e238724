#pragma once

#include <cstddef>

#include "engine/ChecksumFile.h"
#include "platform/Sha256.h"

// The SHA-256 of each piece and of the whole file, computed as the data passes through memory
// on its way from the source to the pieces, or from the pieces to the recreated file.
class RunningDigests {
public:
    // To the current piece and to the whole file.
    void add(const char* data, std::size_t size);
    // The current piece is complete; what is added next belongs to the next one.
    void endPiece();
    // Every piece ended so far, and the whole file.
    checksum_file::Digests finish();

private:
    Sha256 m_piece;
    Sha256 m_whole;
    checksum_file::Digests m_digests;
};
