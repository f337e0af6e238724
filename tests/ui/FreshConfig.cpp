#include "FreshConfig.h"

FreshConfig::FreshConfig() : m_settings(m_folder.path()) {
    m_settings.createSettingsFileIfMissing();
}
