#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The form of a rejoin script, as the split writes it and the join reads it:
//   @ECHO OFF
//   Copy /b "movie.1" + "movie.2" "movie.avi"
//   @ECHO movie.avi has been recreated for you.
// with CR LF line ends. Where one copy line would grow too long, further lines
// Copy /b "movie.avi" + "movie.N" ... "movie.avi" append to the target.
//
// cmd reads each line in the console's code page, so for names outside plain ASCII the script is
// UTF-8 (no byte-order mark) and switches the code page to UTF-8 first, and back at the end:
//   @ECHO OFF
//   SETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION
//   FOR /F "tokens=2 delims=:." %%C IN ('chcp') DO SET ORVANTO_CODEPAGE=%%C
//   chcp 65001 > nul
//   Copy /b "Москва.1" + "Москва.2" "Москва.zip"
//   @ECHO Москва.zip has been recreated for you.
//   chcp %ORVANTO_CODEPAGE% > nul
// Everything up to the switch is ASCII, since cmd reads it in the old code page. SETLOCAL keeps
// the saved number from the caller's environment and makes sure FOR /F works and "!" is a plain
// character; chcp prints "Active code page: 850" or, in German, "Aktive Codepage: 850.", so the
// number is the second field between ":" and ".". Windows XP and Vista end a script at the
// switch: such names need Windows 7 or later.
namespace script_grammar {

// cmd reads no longer line than this (without its line end).
constexpr std::size_t kLongestScriptLine = 8191;

inline const std::string kLineEnd = "\r\n";
inline const std::string kEchoOff = "@ECHO OFF";
inline const std::string kCopyCommand = "Copy /b ";
inline const std::string kNextSource = "+ ";
inline const std::string kEcho = "@ECHO ";
inline const std::string kRecreated = " has been recreated for you.";

// The lines after kEchoOff that switch to UTF-8, in order, and the last line that switches back.
inline const std::vector<std::string> kSwitchToUtf8 = {
    "SETLOCAL ENABLEEXTENSIONS DISABLEDELAYEDEXPANSION",
    "FOR /F \"tokens=2 delims=:.\" %%C IN ('chcp') DO SET ORVANTO_CODEPAGE=%%C",
    "chcp 65001 > nul"};
inline const std::string kRestoreCodePage = "chcp %ORVANTO_CODEPAGE% > nul";

// True when a script naming name must switch to UTF-8: it holds a byte outside plain ASCII.
bool needsUtf8(const std::string& name);
// How long cmd takes line to be (in UTF-16 units, as it counts after decoding).
std::size_t lengthInCmd(const std::string& line, bool utf8);

// name in double quotes, each "%" doubled: cmd expands "%" before it looks at quotes.
std::string quoted(const std::string& name);
// The text between a pair of quotes read as cmd reads it; nullopt when a "%" stands alone.
std::optional<std::string> unquoted(const std::string& text);
// name for the echo line, which is not quoted: "%" doubled and cmd's operators escaped with "^".
std::string escapedForEcho(const std::string& name);
// The echo line's name read as cmd reads it; nullopt when an operator stands unescaped.
std::optional<std::string> unescapedFromEcho(const std::string& text);

} // namespace script_grammar
