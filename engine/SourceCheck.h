#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/IoError.h"

// A source that opens but is empty, so there is nothing to split. The faces word it; what()
// holds only the path.
class UnsplittableSource : public std::runtime_error {
public:
    explicit UnsplittableSource(const std::string& path);

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// Why path cannot be split, told without opening it: the failure to open it when nothing stands
// there, a folder does, or no plain file (a device, a pipe or a socket); nullopt for a plain file
// or a link to one.
std::optional<IoError> sourceEntryFault(const std::string& path);

// Throws when path cannot be split: IoError naming the file and the reason when it cannot be
// opened (sourceEntryFault, or reading refused), UnsplittableSource when it is empty.
void checkSplittableSource(const std::string& path);
