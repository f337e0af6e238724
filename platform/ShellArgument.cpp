#include "platform/ShellArgument.h"

#include <algorithm>
#include <string_view>

namespace {

bool isPlainCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("._-+,:@%/=").find(c) != std::string_view::npos;
}

// A single quote ends the quoting, stands in double quotes, and starts it again: no backslash,
// which a shown text would double.
std::string quoted(const std::string& text) {
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\"'\"'") : std::string(1, c);
    return word + "'";
}

} // namespace

std::string shellFileArgument(const std::string& name) {
    const std::string path = name.rfind('-', 0) == 0 ? "./" + name : name;
    if (!path.empty() && std::all_of(path.begin(), path.end(), isPlainCharacter))
        return path;
    return quoted(path);
}
