#pragma once

#include <optional>
#include <string>
#include <vector>

namespace paths {

// Where the help and product pages are looked for, in order: beside the program (the build
// folder), then in share/orvanto/ next to the program's folder (an installed tree such as
// /usr/bin/ and /usr/share/orvanto/). Each ends with "/".
std::vector<std::string> pageFolders(const std::string& programFolder);
// The path of pageName in the first of folders that holds it as a file.
std::optional<std::string> findPage(const std::string& pageName,
                                    const std::vector<std::string>& folders);

} // namespace paths
