#include "engine/WindowsNames.h"

#include <algorithm>
#include <array>
#include <cctype>

#include <unicode/uchar.h>

#include "platform/Utf8.h"

namespace windows_names {

namespace {

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Windows opens the device for such a name in any folder, whatever extension follows; trailing
// blanks before the dot do not make it another name.
bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    stem.erase(stem.find_last_not_of(' ') + 1);
    stem = upperCase(stem);
    static const std::array<const char*, 6> plain = {"CON", "PRN",    "AUX",
                                                     "NUL", "CONIN$", "CONOUT$"};
    if (std::find(plain.begin(), plain.end(), stem) != plain.end())
        return true;
    if (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0)
        return false;
    // Windows takes the superscript digits too (Latin-1's, so in UTF-8 two bytes each).
    const std::string number = stem.size() > 3 ? stem.substr(3) : std::string();
    static const std::array<const char*, 3> superscripts = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') ||
           std::find(superscripts.begin(), superscripts.end(), number) != superscripts.end();
}

// What NTFS compares: each character in its simple upper case (Unicode's, as ICU keeps it). Its
// table has one entry per UTF-16 unit, so characters beyond U+FFFF keep their case. A byte that
// is not UTF-8 stands for itself, as a lone surrogate that no character decodes to.
std::u32string comparedForm(const std::string& name) {
    std::u32string compared;
    for (std::size_t at = 0; at < name.size();) {
        const auto sequence = utf8::sequenceAt(name, at);
        if (!sequence) {
            compared += static_cast<char32_t>(0xDC00 + static_cast<unsigned char>(name[at++]));
            continue;
        }
        const char32_t codePoint = sequence->codePoint;
        compared += codePoint > 0xFFFF
                        ? codePoint
                        : static_cast<char32_t>(u_toupper(static_cast<UChar32>(codePoint)));
        at += sequence->length;
    }
    return compared;
}

// The name Windows stores: trailing dots and blanks are dropped.
std::string storedForm(const std::string& name) {
    const auto end = name.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

} // namespace

// A double quote would end the quoted name in the script and a control character breaks its
// line. Windows allows none of * : < > ? \ | in a file name (and * ? would match other files).
std::optional<char> forbiddenCharacterIn(const std::string& name) {
    const std::string forbidden = "\"*:<>?\\|";
    const auto found = std::find_if(name.begin(), name.end(), [&forbidden](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code < 32 || code == 127 || forbidden.find(c) != std::string::npos;
    });
    return found == name.end() ? std::nullopt : std::optional<char>(*found);
}

NameFault faultOf(const std::string& name) {
    if (!utf8::isValid(name))
        return NameFault::NotUtf8;
    if (forbiddenCharacterIn(name))
        return NameFault::Character;
    if (name.find_first_not_of('.') == std::string::npos)
        return NameFault::OnlyDots;
    if (isDeviceName(name))
        return NameFault::Device;
    if (storedForm(name) != name)
        return NameFault::TrailingDotOrBlank;
    return NameFault::None;
}

bool sameFileName(const std::string& a, const std::string& b) {
    return comparedForm(storedForm(a)) == comparedForm(storedForm(b));
}

} // namespace windows_names
