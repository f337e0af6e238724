#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"

// Writes the rejoin script: a Windows batch file that copies the pieces back into the source
// file with one binary copy command, then says so. The entries are kept until FinishScript,
// which splits the copy command over several lines only where cmd could not read one line.
class RejoinScript {
public:
    // Creates the script (replacing a file of that name), writes line 1 and "Copy /b ".
    void BeginScript(const std::string& scriptPath);
    // Adds the quoted name of piece index (from 1) to the copy command.
    void AddPieceEntry(const std::string& baseName, std::int64_t index);
    // Writes the target argument and the echo line, and closes the script.
    void FinishScript(const std::string& targetName);
    // Closes and removes a script that was begun but not finished.
    void discard();

    bool isOpen() const;

private:
    std::optional<File> m_file;
    std::string m_path;
    std::vector<std::string> m_quotedPieces;
};
