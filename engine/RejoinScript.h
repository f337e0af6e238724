#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The rejoin script: a Windows batch file that copies the pieces back into the source file with
// one binary copy command, then says so. It is kept in memory and written whole at the end, so
// nothing of it exists before the pieces do; the copy command is split over several lines only
// where cmd could not read one line.
class RejoinScript {
public:
    // Adds the quoted name of piece index (from 1) to the copy command.
    void addPiece(const std::string& baseName, std::int64_t index);
    // The whole script, recreating targetName from the pieces added so far.
    std::string text(const std::string& targetName) const;
    // Creates the script at path, where nothing may stand yet, and writes it whole. A script
    // that cannot be written whole is removed again. It gets permissions less the umask.
    void write(const std::string& path, const std::string& targetName,
               unsigned permissions = 0666) const;

private:
    std::vector<std::string> m_quotedPieces;
};
