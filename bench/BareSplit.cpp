// B0: the floor of the block design. The same read and write calls in the same loop shape as the
// split job (8192-byte blocks while a whole block still fits in the piece, then one read of the
// remainder), with no progress, no script and no settings.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "platform/File.h"
#include "platform/Paths.h"
#include "wording/FailureMessages.h"

namespace {

constexpr std::size_t blockSize = 8192;

// Fills one piece; returns the count of the last read made for it (0: the source is exhausted).
std::size_t copyPiece(File& source, File& piece, std::int64_t splitSize, char* block) {
    std::int64_t pieceBytes = 0;
    std::size_t lastRead = 0;
    do {
        lastRead = source.read(block, blockSize);
        piece.write(block, lastRead);
        pieceBytes += static_cast<std::int64_t>(lastRead);
    } while (lastRead > 0 && splitSize - pieceBytes >= static_cast<std::int64_t>(blockSize));

    const std::int64_t remaining = splitSize - pieceBytes;
    if (lastRead > 0 && remaining > 0) {
        lastRead = source.read(block, static_cast<std::size_t>(remaining));
        piece.write(block, lastRead);
    }
    return lastRead;
}

// Writes base.1, base.2, ... into outFolder; returns the number of pieces.
std::int64_t split(const std::string& sourcePath, std::int64_t splitSize,
                   const std::string& outFolder) {
    const std::string fileName = paths::fileNameOf(sourcePath);
    const std::string base = fileName.substr(0, fileName.find('.'));
    static char block[blockSize];

    File source = File::openForReading(sourcePath);
    for (std::int64_t index = 1;; ++index) {
        File piece = File::createNew(paths::joined(outFolder, base + "." + std::to_string(index)));
        const std::size_t lastRead = copyPiece(source, piece, splitSize, block);
        piece.close();
        if (lastRead == 0)
            return index;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: bench_bare_split SOURCE SPLITSIZE OUTFOLDER\n";
        return 2;
    }
    const std::int64_t splitSize = std::strtoll(argv[2], nullptr, 10);
    if (splitSize < static_cast<std::int64_t>(blockSize)) {
        std::cerr << "bench_bare_split: SPLITSIZE must be at least " << blockSize << " bytes\n";
        return 2;
    }
    try {
        const std::int64_t pieces = split(argv[1], splitSize, paths::withTrailingSlash(argv[3]));
        std::cout << pieces << " pieces\n";
    } catch (const std::exception& error) {
        std::cerr << "bench_bare_split: " << failureText(error) << '\n';
        return 1;
    }
    return 0;
}
