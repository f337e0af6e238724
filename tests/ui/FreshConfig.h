#pragma once

#include "settings/Settings.h"
#include "support/TempFolder.h"

// A configuration folder of the test's own, as the first run finds it: no layout file, and a
// settings file holding only the split counter "0".
class FreshConfig {
public:
    FreshConfig();

    const settings::Settings& settings() const { return m_settings; }

private:
    TempFolder m_folder;
    settings::Settings m_settings;
};
