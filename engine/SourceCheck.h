#pragma once

#include <string>

// Throws IoError naming the file and the reason when path cannot be split: it does not exist,
// is not a plain file, cannot be read, or is empty.
void checkSplittableSource(const std::string& path);
