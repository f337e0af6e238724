#include "settings/SettingsFileError.h"

SettingsFileError::SettingsFileError(Kind kind, const std::string& path, int errorNumber)
    : std::runtime_error(path), m_kind(kind), m_path(path), m_errorNumber(errorNumber) {}
