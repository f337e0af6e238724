#include "FreshConfig.h"

#include <filesystem>

#include "settings/Settings.h"

void startFromFreshConfig() {
    settings::initLayoutPath();
    settings::initSettingsPath();
    std::filesystem::remove(settings::layoutFilePath());
    std::filesystem::remove(settings::settingsFilePath());
    settings::createSettingsFileIfMissing();
}
