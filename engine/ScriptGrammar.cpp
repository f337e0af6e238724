#include "engine/ScriptGrammar.h"

#include <algorithm>

#include "platform/Utf8.h"

namespace script_grammar {

namespace {

// cmd takes these as operators on a line that is not quoted, unless "^" escapes them.
const std::string kEchoOperators = "^&|<>()";

std::string withDoubledPercent(const std::string& name) {
    std::string escaped;
    for (const char c : name) {
        if (c == '%')
            escaped += '%';
        escaped += c;
    }
    return escaped;
}

} // namespace

bool needsUtf8(const std::string& name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// In an old code page each byte is one character. A byte that is not UTF-8 counts as one too
// (a name holding it is refused anyway).
std::size_t lengthInCmd(const std::string& line, bool utf8) {
    if (!utf8)
        return line.size();
    std::size_t units = 0;
    for (std::size_t at = 0; at < line.size();) {
        const auto sequence = utf8::sequenceAt(line, at);
        units += sequence && sequence->codePoint > 0xFFFF ? 2 : 1;
        at += sequence ? sequence->length : 1;
    }
    return units;
}

std::string quoted(const std::string& name) {
    return "\"" + withDoubledPercent(name) + "\"";
}

std::optional<std::string> unquoted(const std::string& text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && (i + 1 == text.size() || text[++i] != '%'))
            return std::nullopt;
        name += text[i];
    }
    return name;
}

std::string escapedForEcho(const std::string& name) {
    std::string escaped;
    for (const char c : withDoubledPercent(name)) {
        if (kEchoOperators.find(c) != std::string::npos)
            escaped += '^';
        escaped += c;
    }
    return escaped;
}

std::optional<std::string> unescapedFromEcho(const std::string& text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size())
            ++i;
        else if (kEchoOperators.find(text[i]) != std::string::npos)
            return std::nullopt;
        name += text[i];
    }
    return unquoted(name);
}

} // namespace script_grammar
