#pragma once

#include <string>
#include <utility>
#include <vector>

// Reader and writer of INI ("profile") files: [section] lines and key=value lines, names matched
// without regard to case. Every call opens the file, does its work and releases it.
namespace profile {

// Longest value a read returns; longer values are cut.
constexpr std::size_t kMaxValueLength = 2047;

// The value of key in section, or fallback when the file, section or key is missing.
std::string readString(const std::string& path, const std::string& section,
                       const std::string& key, const std::string& fallback);

// Sets each key of section to its value in one rewrite of the file: an existing key is replaced
// in place, a missing key is added at the end of its section, a missing section at the end of
// the file. The new content replaces the old file atomically. Throws IoError
// "Unable to write to <path>" when the file cannot be written.
void writeStrings(const std::string& path, const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& values);

void writeString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value);

} // namespace profile
