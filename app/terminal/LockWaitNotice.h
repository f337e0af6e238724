#pragma once

#include <string>

// From now on a wait of more than a second for another Orvanto program's lock on the settings
// says on standard error, after prefix ("orvanto-split: "), what the program waits for.
void sayLongLockWaits(const std::string& prefix);
