#include "engine/SizeCatalogue.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "settings/IntegerText.h"

namespace size_catalogue {

namespace {

const std::string kKiloSuffix = "k";
const std::string kMegaSuffix = " Megabytes";

constexpr int kKiloEntries = 286;
constexpr int kMegaEntries = 1500;

bool isAllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::optional<std::int64_t> bytesFromDigits(const std::string& digits) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (const char c : digits) {
        const int digit = c - '0';
        if (value > (kMax - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// "10M" or "10MB" (decimal, like every size here) and "10MiB" (binary).
std::optional<std::int64_t> bytesWithUnit(const std::string& text) {
    static const std::pair<const char*, std::int64_t> units[] = {
        {"k", 1000},        {"kB", 1000},       {"K", 1000},        {"KB", 1000},
        {"KiB", 1LL << 10}, {"M", 1000000},     {"MB", 1000000},    {"MiB", 1LL << 20},
        {"G", 1000000000},  {"GB", 1000000000}, {"GiB", 1LL << 30},
    };
    const auto unitStart =
        std::find_if_not(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
    const std::string digits(text.begin(), unitStart);
    const std::string unit(unitStart, text.end());
    const auto known = std::find_if(std::begin(units), std::end(units),
                                    [&unit](const auto& entry) { return unit == entry.first; });
    const std::optional<std::int64_t> count =
        isAllDigits(digits) ? bytesFromDigits(digits) : std::nullopt;
    if (known == std::end(units) || !count ||
        *count > std::numeric_limits<std::int64_t>::max() / known->second)
        return std::nullopt;
    return *count * known->second;
}

} // namespace

const std::array<Preset, kPresetCount>& presets() {
    static const std::array<Preset, kPresetCount> table = {{
        {"preset100kButton", "100k Files", "100k", 100'000},
        {"preset500kButton", "500k Files", "500k", 500'000},
        {"preset1MegButton", "1 Meg Files", "1 Megabyte", 1'000'000},
        {"preset1Point4MegButton", "1.4 Meg Files", "1.4 Megabytes", 1'400'000},
        {"preset2MegButton", "2 Meg Files", "2 Megabytes", 2'000'000},
        {"preset95MegButton", "95 Meg Files", "95 Megabytes", 95'000'000},
        {"preset127MegButton", "127 Meg Files", "127 Megabytes", 127'000'000},
        {"preset195MegButton", "195 Meg Files", "195 Megabytes", 195'000'000},
        {"preset255MegButton", "255 Meg Files", "255 Megabytes", 255'000'000},
        {"preset530MegButton", "530 Meg Files", "530 Megabytes", 530'000'000},
        {"preset650MegButton", "650 Meg Files", "650 Megabytes", 650'000'000},
        {"preset4600MegButton", "4600 Meg Files", "4.6 Gigabytes", 4'600'000'000},
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
    return static_cast<std::int64_t>(integer_text::toInt32(number)) * unit;
}

std::int64_t resolveSplitSize(const SizeChoice& choice) {
    if (!choice.presetIndex)
        return customEntryBytes(choice.customEntry);
    return presets().at(*choice.presetIndex).bytes;
}

std::optional<std::int64_t> sizeFromText(const std::string& text) {
    if (isAllDigits(text))
        return bytesFromDigits(text);
    if (const auto bytes = bytesWithUnit(text))
        return bytes;
    for (const Preset& preset : presets()) {
        if (text == preset.label)
            return preset.bytes;
    }
    const std::vector<std::string> entries = customizeEntries();
    if (std::find(entries.begin(), entries.end(), text) != entries.end())
        return customEntryBytes(text);
    return std::nullopt;
}

} // namespace size_catalogue
