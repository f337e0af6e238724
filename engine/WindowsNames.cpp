#include "engine/WindowsNames.h"

#include <algorithm>
#include <array>
#include <cctype>

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
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// The name Windows stores: trailing dots and blanks are dropped.
std::string storedForm(const std::string& name) {
    const auto end = name.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

} // namespace

// A double quote would end the quoted name in the script and a control character breaks its
// line. Windows allows none of * : < > ? \ | in a file name (and * ? would match other files),
// and cmd reads the script in an old code page, where a name's UTF-8 bytes spell another name.
std::optional<char> forbiddenCharacterIn(const std::string& name) {
    const std::string forbidden = "\"*:<>?\\|";
    const auto found = std::find_if(name.begin(), name.end(), [&forbidden](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code < 32 || code >= 127 || forbidden.find(c) != std::string::npos;
    });
    return found == name.end() ? std::nullopt : std::optional<char>(*found);
}

NameFault faultOf(const std::string& name) {
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
    return upperCase(storedForm(a)) == upperCase(storedForm(b));
}

} // namespace windows_names
