#include "engine/ScriptGrammar.h"

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
