#pragma once

#include <optional>
#include <string>

// What Windows and its cmd make of file names: the rejoin script runs there, whatever wrote it.
namespace windows_names {

// Why a name cannot stand in a rejoin script, if it cannot.
enum class NameFault {
    None,
    // Bytes that are not UTF-8, so no script can say which characters they are on Windows.
    NotUtf8,
    // A double quote, a control character, or one of * : < > ? \ |.
    Character,
    // CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-COM9, LPT1-LPT9, COM¹-COM³ or LPT¹-LPT³ before
    // the first dot, in any letter case.
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

// True when Windows takes both names for one file: letter case does not count, in any script, as
// NTFS compares (the simple upper case of each UTF-16 unit), and trailing dots and blanks are
// dropped.
bool sameFileName(const std::string& a, const std::string& b);

} // namespace windows_names
