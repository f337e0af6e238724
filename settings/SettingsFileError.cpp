#include "settings/SettingsFileError.h"

#include <utility>

SettingsFileError::SettingsFileError(Kind kind, const std::string& path, int errorNumber,
                                     std::string lockFile)
    : std::runtime_error(path), m_kind(kind), m_path(path), m_errorNumber(errorNumber),
      m_lockFile(std::move(lockFile)) {}
