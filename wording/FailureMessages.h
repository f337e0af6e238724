#pragma once

#include <exception>
#include <string>

// How the faces word a failure thrown below them: the typed failures of the platform, the engine
// and the settings in their own words ("Could not read /x/movie.avi: Is a directory"), any other
// failure by its what(). Names stand in it as they are: each face shows the whole text escaped
// (visibleText), once.
std::string failureText(const std::exception& failure);

namespace settings {
struct UncountedSplit;
}

// A split whose files are complete but which was not counted, and what to look at.
std::string uncountedSplitText(const settings::UncountedSplit& uncounted);
