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
    const std::optional<std::int64_t> count = decimalValue(digits);
    if (known == std::end(units) || !count || *count > kMostBytes / known->second)
        return std::nullopt;
    return *count * known->second;
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

std::optional<std::int64_t> sizeFromText(const std::string& text) {
    if (const auto bytes = decimalValue(text))
        return bytes;
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
