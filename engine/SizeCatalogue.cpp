#include "engine/SizeCatalogue.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/PlainText.h"

namespace size_catalogue {

namespace {

const std::string kKiloSuffix = "k";
const std::string kMegaSuffix = " Megabytes";

constexpr int kKiloEntries = 286;
constexpr int kMegaEntries = 1500;

constexpr std::int64_t kMostBytes = std::numeric_limits<std::int64_t>::max();

std::optional<std::int64_t> decimalValue(const std::string& digits) {
    return plain_text::unsignedValue(digits, 10, kMostBytes);
}

// A unit's name as written in lower case, and its bytes: the terminal's units (decimal, like
// every size here, and binary "MiB") and the window's own words ("Megabytes", "Meg Files").
struct Unit {
    const char* name;
    std::int64_t bytes;
};

const Unit kUnits[] = {
    {"", 1},
    {"k", 1000},
    {"kb", 1000},
    {"k files", 1000},
    {"kib", 1LL << 10},
    {"m", 1000000},
    {"mb", 1000000},
    {"meg files", 1000000},
    {"megabyte", 1000000},
    {"megabytes", 1000000},
    {"mib", 1LL << 20},
    {"g", 1000000000},
    {"gb", 1000000000},
    {"gigabyte", 1000000000},
    {"gigabytes", 1000000000},
    {"gib", 1LL << 30},
};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

} // namespace

const std::array<Preset, kPresetCount>& presets() {
    static const std::array<Preset, kPresetCount> table = {{
        {"100k", 100'000},
        {"500k", 500'000},
        {"1 Megabyte", 1'000'000},
        {"1.4 Megabytes", 1'400'000},
        {"2 Megabytes", 2'000'000},
        {"95 Megabytes", 95'000'000},
        {"127 Megabytes", 127'000'000},
        {"195 Megabytes", 195'000'000},
        {"255 Megabytes", 255'000'000},
        {"530 Megabytes", 530'000'000},
        {"650 Megabytes", 650'000'000},
        {"4.6 Gigabytes", 4'600'000'000},
    }};
    return table;
}

std::vector<std::string> customizeEntries() {
    std::vector<std::string> entries;
    entries.reserve(kKiloEntries + kMegaEntries);
    for (int i = 0; i < kKiloEntries; ++i)
        entries.push_back(std::to_string(300 + 20 * i) + kKiloSuffix);
    for (int i = 0; i < kMegaEntries; ++i)
        entries.push_back(std::to_string(10 + 4 * i) + kMegaSuffix);
    return entries;
}

std::int64_t customEntryBytes(const std::string& entry) {
    std::string number = entry;
    std::int64_t unit = 1'000'000;
    if (const auto kilo = number.find(kKiloSuffix); kilo != std::string::npos) {
        number.erase(kilo, kKiloSuffix.size());
        unit = 1000;
    } else if (const auto mega = number.find(kMegaSuffix); mega != std::string::npos) {
        number.erase(mega, kMegaSuffix.size());
    }
    // Only list entries come here; anything else has no size, which the split request refuses.
    return decimalValue(number).value_or(0) * unit;
}

std::int64_t resolveSplitSize(const SizeChoice& choice) {
    if (!choice.presetIndex)
        return customEntryBytes(choice.customEntry);
    return presets().at(*choice.presetIndex).bytes;
}

// A number with an optional fraction ("1.4"), an optional blank and a unit in any letter case,
// when it makes a whole number of bytes.
std::optional<std::int64_t> sizeFromText(const std::string& text) {
    const auto wholeEnd = std::find_if_not(text.begin(), text.end(), isDigit);
    auto numberEnd = wholeEnd;
    std::string digits(text.begin(), wholeEnd);
    if (numberEnd != text.end() && *numberEnd == '.') {
        numberEnd = std::find_if_not(wholeEnd + 1, text.end(), isDigit);
        digits.append(wholeEnd + 1, numberEnd);
    }
    const auto fractionLength = static_cast<int>(numberEnd - wholeEnd) - (numberEnd > wholeEnd);
    std::string unit(numberEnd, text.end());
    if (!unit.empty() && unit.front() == ' ' && unit.size() > 1)
        unit.erase(0, 1);
    const std::string name = lowerCase(unit);
    const auto known = std::find_if(std::begin(kUnits), std::end(kUnits),
                                    [&name](const Unit& entry) { return name == entry.name; });
    const std::optional<std::int64_t> count = decimalValue(digits);
    if (known == std::end(kUnits) || !count || wholeEnd == text.begin() || fractionLength > 18 ||
        (numberEnd > wholeEnd && fractionLength == 0) || *count > kMostBytes / known->bytes)
        return std::nullopt;
    std::int64_t scale = 1;
    for (int digit = 0; digit < fractionLength; ++digit)
        scale *= 10;
    const std::int64_t scaledBytes = *count * known->bytes;
    if (scaledBytes % scale != 0)
        return std::nullopt;
    return scaledBytes / scale;
}

} // namespace size_catalogue
