#include "engine/SplitNames.h"

#include "platform/Paths.h"

SplitNames deriveSplitNames(const std::string& sourcePath) {
    SplitNames names;
    names.fileName = paths::fileNameOf(sourcePath);
    names.sourceFolder = paths::folderOf(sourcePath);
    // Pieces and script are named by the part before the first dot; the file comes back whole,
    // so report.2024.pdf is not recreated as report.pdf over someone else's file.
    names.baseName = names.fileName.substr(0, names.fileName.find('.'));
    names.targetName = names.fileName;
    return names;
}

std::string pieceName(const std::string& baseName, std::int64_t index) {
    return baseName + "." + std::to_string(index);
}

std::vector<std::string> pieceNames(const std::string& baseName, std::int64_t count) {
    std::vector<std::string> names;
    for (std::int64_t index = 1; index <= count; ++index)
        names.push_back(pieceName(baseName, index));
    return names;
}

std::string scriptName(const std::string& baseName) {
    return baseName + ".bat";
}
