#pragma once

#include <optional>
#include <string>

// Small files read and written in one piece (settings files, /proc files).
namespace whole_file {

// The content of the file; throws IoError when it cannot be read.
std::string read(const std::string& path);
// The content of the file, or nullopt when nothing exists at path; throws IoError otherwise.
std::optional<std::string> readIfExists(const std::string& path);
// Puts content in place of the file at path, or creates it, so that a crash or a full disk
// leaves either the old or the new content: the content goes to a temporary file in the same
// folder, which then takes the place of the old one. An existing file's permission bits are
// kept. Throws IoError; the temporary file is removed on every failure.
void replace(const std::string& path, const std::string& content);

} // namespace whole_file
