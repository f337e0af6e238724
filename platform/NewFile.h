#pragma once

#include <string>

namespace new_file {

// Whether the file system of folder takes a file named name, as long as it is (pathconf's
// NAME_MAX); true when the folder does not say.
bool nameFits(const std::string& folder, const std::string& name);

// Creates the file at path, where nothing may stand yet, writes content whole and waits until
// it is on the device, with permissions less the umask. A file that cannot be written whole is
// removed again. Throws IoError (with the failed removal, if any).
void writeToMedium(const std::string& path, const std::string& content, unsigned permissions);

} // namespace new_file
