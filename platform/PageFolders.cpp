#include "platform/PageFolders.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace paths {

std::vector<std::string> pageFolders(const std::string& programFolder) {
    const std::string withoutSlash = programFolder.substr(0, programFolder.size() - 1);
    return {programFolder, folderOf(withoutSlash) + "share/orvanto/"};
}

std::optional<std::string> findPage(const std::string& pageName,
                                    const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (fs_entry::targetKind(folder + pageName) == fs_entry::Kind::Regular)
            return folder + pageName;
    }
    return std::nullopt;
}

} // namespace paths
