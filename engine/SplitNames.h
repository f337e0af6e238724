#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The names a split derives from its source path.
struct SplitNames {
    std::string fileName;     // after the last "/"
    std::string baseName;     // file name up to its first dot
    std::string targetName;   // the whole file name: what the rejoin script recreates
    std::string sourceFolder; // up to and including the last "/"
};

SplitNames deriveSplitNames(const std::string& sourcePath);

// "movie.7" for the base name "movie" and index 7.
std::string pieceName(const std::string& baseName, std::int64_t index);
// "movie.1" to "movie.count", in order: the pieces of a set.
std::vector<std::string> pieceNames(const std::string& baseName, std::int64_t count);
// "movie.bat" for the base name "movie".
std::string scriptName(const std::string& baseName);
