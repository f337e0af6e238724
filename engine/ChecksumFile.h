#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "engine/JoinOutcome.h"

class Folder;

// The checksum file beside the pieces, in the form sha256sum -c reads: one line per piece and
// one for the whole file, each "<64 lowercase hexadecimal digits>  <name>\n".
namespace checksum_file {

// "movie.sha256" for the base name "movie".
std::string nameFor(const std::string& baseName);

// The digests of a split, in the order of its names: the pieces', then the whole file's.
struct Digests {
    std::vector<std::string> pieces;
    std::string whole;
};

// The size of the file of these names.
std::size_t size(const std::vector<std::string>& pieceNames, const std::string& targetName);

std::string text(const Digests& digests, const std::vector<std::string>& pieceNames,
                 const std::string& targetName);

// No checksum file stands beside the script.
struct Absent {};

// What the checksum file name in folder says of the pieces and the target, read strictly: only
// a regular file reached without a link, in exactly the form the split writes, naming exactly
// these pieces in order and then the target. A file that departs from it is a refusal; input or
// output errors throw IoError.
std::variant<Digests, Absent, JoinRefusal> read(const Folder& folder, const std::string& name,
                                                const std::vector<std::string>& pieceNames,
                                                const std::string& targetName);

} // namespace checksum_file
