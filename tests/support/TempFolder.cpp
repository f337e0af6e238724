#include "support/TempFolder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvanto-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        ADD_FAILURE() << "cannot create a temporary folder";
    m_path = std::string(buffer.data()) + "/";
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Folders a test made read-only must become writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        ADD_FAILURE() << "cannot write " << path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool fileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::symlink_status(path, ignored).type() !=
           std::filesystem::file_type::not_found;
}

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void writePatternFile(const std::string& path, std::int64_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string block(65536, '\0');
    std::int64_t written = 0;
    while (written < size) {
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>(1 + (written + static_cast<std::int64_t>(i)) % 251);
        const std::int64_t count =
            std::min<std::int64_t>(static_cast<std::int64_t>(block.size()), size - written);
        out.write(block.data(), static_cast<std::streamsize>(count));
        written += count;
    }
    if (!out)
        ADD_FAILURE() << "cannot write " << path;
}

void useConfigFolder(const std::string& folder) {
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}
