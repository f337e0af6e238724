#pragma once

#include <string>

class File;

// Run as root with a user's home (su without "-", sudo -E), what the program creates in the
// user's folders must stay the user's, or the user's own later runs could not change it.
namespace folder_owner {

// Gives the folder or file at path the owner and group of the folder it stands in, when this
// process runs as root; does nothing otherwise. A link is changed itself, never followed.
void giveToFolderOwner(const std::string& path);
// The same for a file this process holds open.
void giveToFolderOwner(const File& file);
// True when the entry at path (a link itself, not followed) belongs to this process's user.
bool belongsToThisUser(const std::string& path);

} // namespace folder_owner
