#pragma once

// Starts a test as the first run does: no layout file, and a settings file holding only the
// split counter "0".
void startFromFreshConfig();
