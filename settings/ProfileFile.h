#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FolderLock.h"

// Reader and writer of INI ("profile") files: [section] lines and key=value lines, names matched
// without regard to case. Every call opens the file, does its work and releases it.
namespace profile {

// Longest value a read returns; longer values are cut.
constexpr std::size_t kMaxValueLength = 2047;

// The value of key in section, or fallback when the file, section or key is missing. A file that
// is there but cannot be read (see whole_file::read) throws IoError.
std::string readString(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& fallback);

// Sets each key of section to its value in one rewrite of the file: an existing key is replaced
// in place, a missing key is added at the end of its section, a missing section at the end of
// the file. The new content replaces the old file atomically (see whole_file::update: through
// a link, under the folder's lock). Throws SettingsFileError (Write) when the file cannot
// be read or written, and FolderLockBusy when another process holds the lock for longer than
// lockWait.
void writeStrings(const std::string& path, const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& values,
                  LockWait lockWait = std::nullopt);

void writeString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value, LockWait lockWait = std::nullopt);

// Creates the file with key=value in section when there is none; an existing file stays as it
// is. Check and creation hold the folder's lock, so a value that another writer put into the new
// file in between is never undone; an existing plain file needs no lock, as files are only ever
// replaced whole. A lock held by another process for longer than lockWait throws FolderLockBusy.
void createWithString(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value, LockWait lockWait = std::nullopt);

// Sets key to what change makes of its value as readString gives it, in one read-change-write
// under the folder's lock, so that no other writer's change is lost in between. When change
// throws, the file stays as it was and the exception reaches the caller; so does FolderLockBusy
// when another process holds the lock for longer than lockWait.
void changeString(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& fallback,
                  const std::function<std::string(const std::string&)>& change,
                  LockWait lockWait = std::nullopt);

} // namespace profile
