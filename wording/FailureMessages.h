#pragma once

#include <exception>
#include <string>

// How the faces word a failure thrown below them: the typed failures of the platform, the engine
// and the settings in their own words ("Could not read /x/movie.avi: Is a directory"), any other
// failure by its what(). Names stand in it as they are: each face shows the whole text escaped
// (visibleText), once.
std::string failureText(const std::exception& failure);

// A split whose files are complete but which was not counted, as another program held lockFile,
// the lock on the settings files, for longer than the count waits, or a stop ended the wait.
std::string uncountedSplitText(const std::string& lockFile);
