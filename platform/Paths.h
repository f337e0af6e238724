#pragma once

#include <string>

namespace paths {

// $XDG_CONFIG_HOME/orvanto/ or $HOME/.config/orvanto/, ending with "/"; not created here.
std::string configurationFolderPath();
// Creates the folder and every missing folder above it; throws IoError when it cannot. Run as
// root, a folder it creates gets the owner of the folder it is made in.
void createFolders(const std::string& folder);
// 0 when path leads to a folder, else the system's reason: ENOTDIR for another kind of file,
// ELOOP for a loop of links, ENOENT for nothing.
int folderError(const std::string& path);
// The folder of the running executable, ending with "/".
std::string programFolder();
// The part of a path up to and including its last "/" (empty when it has none).
std::string folderOf(const std::string& path);
// The part of a path after its last "/".
std::string fileNameOf(const std::string& path);
// The folder with a "/" appended when it does not already end in one (an empty folder stays empty).
std::string withTrailingSlash(const std::string& folder);
// The path of name inside folder, with exactly the separator it needs.
std::string joined(const std::string& folder, const std::string& name);
// The path as a user would write it, leading where it led: without "." parts and repeated "/",
// and without "name/.." where name is a folder and not a link (a link's ".." is the folder
// above its target). A path that ended in "/" keeps it.
std::string normalised(const std::string& path);

} // namespace paths
