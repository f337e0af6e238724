#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The form of a rejoin script, as the split writes it and the join reads it:
//   @ECHO OFF
//   Copy /b "movie.1" + "movie.2" "movie.avi"
//   @ECHO movie.avi has been recreated for you.
// with CR LF line ends. Where one copy line would grow too long, further lines
// Copy /b "movie.avi" + "movie.N" ... "movie.avi" append to the target.
namespace script_grammar {

// cmd reads no longer line than this (without its line end).
constexpr std::size_t kLongestScriptLine = 8191;

inline const std::string kLineEnd = "\r\n";
inline const std::string kEchoOff = "@ECHO OFF";
inline const std::string kCopyCommand = "Copy /b ";
inline const std::string kNextSource = "+ ";
inline const std::string kEcho = "@ECHO ";
inline const std::string kRecreated = " has been recreated for you.";

// name in double quotes, each "%" doubled: cmd expands "%" before it looks at quotes.
std::string quoted(const std::string& name);
// The text between a pair of quotes read as cmd reads it; nullopt when a "%" stands alone.
std::optional<std::string> unquoted(const std::string& text);
// name for the echo line, which is not quoted: "%" doubled and cmd's operators escaped with "^".
std::string escapedForEcho(const std::string& name);
// The echo line's name read as cmd reads it; nullopt when an operator stands unescaped.
std::optional<std::string> unescapedFromEcho(const std::string& text);

} // namespace script_grammar
