#include "engine/SplitNames.h"

#include "platform/Paths.h"

SplitNames deriveSplitNames(const std::string& sourcePath) {
    SplitNames names;
    names.fileName = paths::fileNameOf(sourcePath);
    names.sourceFolder = paths::folderOf(sourcePath);
    // The base name ends at the first dot and the extension starts at the last, so the middle
    // of a name with several dots is not part of the target name.
    const auto firstDot = names.fileName.find('.');
    const auto lastDot = names.fileName.rfind('.');
    names.baseName = names.fileName.substr(0, firstDot);
    if (lastDot != std::string::npos)
        names.extension = names.fileName.substr(lastDot);
    names.targetName = names.baseName + names.extension;
    return names;
}

std::string pieceName(const std::string& baseName, std::int64_t index) {
    return baseName + "." + std::to_string(index);
}

std::string scriptName(const std::string& baseName) {
    return baseName + ".bat";
}
