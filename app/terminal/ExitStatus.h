#pragma once

// How orvanto-split and orvanto-join end.
namespace exit_status {

constexpr int kDone = 0;
// Refused (a source that cannot be opened included), cancelled, or a command line the program
// does not take.
constexpr int kNotDone = 1;
// A failure while reading or writing, or a settings file that cannot be used.
constexpr int kError = 2;
// Stopped by a signal: 128 plus its number.
constexpr int kSignalBase = 128;

} // namespace exit_status
