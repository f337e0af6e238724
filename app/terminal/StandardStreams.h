#pragma once

#include <string>

// The terminal programs' standard streams, which a caller may have closed or pointed at a full
// device.
namespace standard_streams {

// Call it first, with the prefix of the program's messages. Opens /dev/null on each closed
// standard stream, so that no file the program opens takes its number and receives a message
// or the report (standard output read-only, so that writing to it fails as it would have). At
// exit, what was printed to standard output (--help, --version) is flushed; when it cannot be
// written, that is said and the program ends with exit_status::kError. False, after saying why,
// when /dev/null cannot be opened.
bool guardStandardStreams(const char* prefix);

// Writes the report of what was done, and a newline, to standard output. Throws IoError when it
// cannot (standard output closed, a full device, a reader gone).
void writeReport(const std::string& report);

} // namespace standard_streams
