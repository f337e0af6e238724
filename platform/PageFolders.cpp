#include "platform/PageFolders.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace paths {

std::vector<std::string> pageFolders(const std::string& programFolder) {
    const std::string withoutSlash = programFolder.substr(0, programFolder.size() - 1);
    // The root folder has no parent: its share folder is /share/orvanto/.
    const std::string parent = withoutSlash.empty() ? "/" : folderOf(withoutSlash);
    return {programFolder, joined(parent, "share/orvanto/")};
}

std::optional<std::string> findPage(const std::string& pageName,
                                    const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        const std::string page = joined(folder, pageName);
        if (fs_entry::targetKind(page) == fs_entry::Kind::Regular)
            return page;
    }
    return std::nullopt;
}

} // namespace paths
