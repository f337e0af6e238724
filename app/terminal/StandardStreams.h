#pragma once

#include <string>

// The terminal programs' standard streams, which a caller may have closed or pointed at a full
// device.
namespace standard_streams {

// Opens /dev/null on each closed standard stream, so that no file the program opens takes its
// number and receives a message or the report; a closed standard output is remembered. Call it
// first.
void fillClosedStreams();

// Writes the report of what was done, and a newline, to standard output. Throws IoError when it
// cannot (standard output closed, a full device, a reader gone).
void writeReport(const std::string& report);

} // namespace standard_streams
