// libFuzzer target: every input is read as the text of an INI file and as an integer text.
// A finding aborts with the broken promise on standard error.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/WholeFile.h"
#include "settings/ConversionError.h"
#include "settings/IntegerText.h"
#include "settings/ProfileFile.h"

namespace {

void require(bool promise, const char* what, const std::string& input) {
    if (promise)
        return;
    std::fprintf(stderr, "broken: %s\ninput (%zu bytes): %s\n", what, input.size(), input.c_str());
    std::abort();
}

// The strict rules written out once more, independently of the code under test: blanks, a sign,
// then decimal digits or "$"/"0x"/"0X" and hexadecimal digits, within 32 bits.
std::optional<std::int32_t> expectedStrictValue(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    int base = 10;
    if (text.compare(at, 1, "$") == 0) {
        base = 16;
        at += 1;
    } else if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
        base = 16;
        at += 2;
    }
    const std::string digits = text.substr(at);
    const char* const allowed = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos)
        return std::nullopt;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(digits.c_str(), nullptr, base);
    if (errno == ERANGE || magnitude > (negative ? 2147483648ULL : 2147483647ULL))
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<long long>(magnitude)
                                              : static_cast<long long>(magnitude));
}

std::string hexText(std::int32_t value) {
    const std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", magnitude);
    return (value < 0 ? "-$" : "$") + std::string(digits);
}

void checkIntegerText(const std::string& text) {
    std::optional<std::int32_t> strict;
    try {
        strict = integer_text::toInt32(text);
    } catch (const ConversionError& error) {
        require(error.text() == text, "the conversion error carries the text", text);
    }
    require(strict == expectedStrictValue(text), "strict conversion follows its rules", text);
    require(integer_text::toLayoutInt(text) == strict.value_or(0),
            "lenient conversion agrees with the strict one", text);
    if (!strict)
        return;
    require(integer_text::toInt32(std::to_string(*strict)) == *strict,
            "the value reads back from its decimal text", text);
    require(integer_text::toInt32(hexText(*strict)) == *strict,
            "the value reads back from its hexadecimal text", text);
    require(integer_text::toInt32("  " + text) == *strict, "leading blanks are skipped", text);
}

// A folder of its own for the run's INI file, removed when the run ends.
struct FuzzFolder {
    FuzzFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvanto-fuzz-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data()))
            std::abort();
        path = std::string(name.data()) + "/";
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const std::string& fuzzFolder() {
    static const FuzzFolder folder;
    return folder.path;
}

struct Key {
    const char* section;
    const char* key;
};

const Key kKeys[] = {{"Stat", "Number"}, {"History", "Loc"}, {"History", "Last Dir"},
                     {"frmsplit", "W"},  {"A", "k"},         {"", ""}};
// No value read from a file can hold a line break, so this fallback tells a missing key apart.
const std::string kMissing = "\n";

std::vector<std::string> readAll(const std::string& path) {
    std::vector<std::string> values;
    for (const Key& key : kKeys)
        values.push_back(profile::readString(path, key.section, key.key, kMissing));
    return values;
}

// A value for the write, taken from the end of the input: what a line can hold unchanged.
std::string valueFrom(const std::string& input) {
    std::string value;
    for (auto it = input.rbegin(); it != input.rend() && value.size() < 80; ++it) {
        if (*it != '\r' && *it != '\n' && *it != '\0')
            value.insert(value.begin(), *it);
    }
    return value;
}

void checkProfileFile(const std::string& input) {
    const std::string path = fuzzFolder() + "a.ini";
    std::filesystem::remove(path);
    File file = File::createNew(path);
    file.write(input.data(), input.size());
    file.close();

    const std::vector<std::string> before = readAll(path);
    for (const std::string& value : before) {
        require(value == kMissing ||
                    (value.size() <= profile::kMaxValueLength &&
                     value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos),
                "a value read is at most 2047 bytes without line breaks or NUL", input);
    }

    // One key, chosen by the input, is written; it must read back and nothing else may change.
    const std::size_t written =
        input.empty() ? 0 : static_cast<unsigned char>(input[0]) % std::size(kKeys);
    const std::string value = valueFrom(input);
    profile::writeString(path, kKeys[written].section, kKeys[written].key, value);
    const std::vector<std::string> after = readAll(path);
    for (std::size_t i = 0; i < after.size(); ++i) {
        require(after[i] == (i == written ? value : before[i]),
                i == written ? "a written value reads back" : "a write leaves other keys alone",
                input);
    }
    // Writing the same value again finds the key in place and changes no byte.
    const std::string once = whole_file::read(path);
    profile::writeString(path, kKeys[written].section, kKeys[written].key, value);
    require(whole_file::read(path) == once, "writing a value twice changes nothing", input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    checkIntegerText(input);
    checkProfileFile(input);
    return 0;
}
