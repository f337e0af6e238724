#include "FreshConfig.h"

#include "settings/Settings.h"

FreshConfig::FreshConfig() {
    useConfigFolder(m_folder.path());
    settings::initLayoutPath();
    settings::initSettingsPath();
    settings::createSettingsFileIfMissing();
}
