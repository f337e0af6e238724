#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The rejoin script: a Windows batch file that copies the pieces back into the source file with
// one binary copy command, then says so. It is kept in memory and written whole at the end (by
// the split job), so nothing of it exists before the pieces do; the copy command is split over
// several lines only where cmd could not read one line.
class RejoinScript {
public:
    // Adds the quoted name of piece index (from 1) to the copy command.
    void addPiece(const std::string& baseName, std::int64_t index);
    // The whole script, recreating targetName from the pieces added so far.
    std::string text(const std::string& targetName) const;

private:
    std::vector<std::string> m_quotedPieces;
};
