#pragma once

#include <optional>
#include <string>

// What Windows and its cmd make of file names: the rejoin script runs there, whatever wrote it.
namespace windows_names {

// Why a name cannot stand in a rejoin script, if it cannot.
enum class NameFault {
    None,
    // A double quote, a control character, one of * : < > ? \ | or a byte outside plain ASCII.
    Character,
    // CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-COM9 or LPT1-LPT9 before the first dot, in any
    // letter case.
    Device,
    // Only dots: Windows reads it as a folder.
    OnlyDots,
    // Dots or blanks at the end, which Windows drops: it would make another file (or, of a name
    // of only dots and blanks, none at all).
    TrailingDotOrBlank,
};

NameFault faultOf(const std::string& name);

// The first character of name that keeps it out of a rejoin script (NameFault::Character).
std::optional<char> forbiddenCharacterIn(const std::string& name);

// True when Windows takes both names for one file: letter case does not count, and trailing
// dots and blanks are dropped.
bool sameFileName(const std::string& a, const std::string& b);

} // namespace windows_names
