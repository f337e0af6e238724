#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The split sizes a user can choose: twelve presets and the customize list.
namespace size_catalogue {

// The window's preset buttons stand in this order.
struct Preset {
    const char* label;  // "1.4 Megabytes"
    std::int64_t bytes; // 1400000
};

constexpr std::size_t kPresetCount = 12;
const std::array<Preset, kPresetCount>& presets();

// The 1786 entries of the customize list, in list order: "300k" ... "6000k",
// "10 Megabytes" ... "6006 Megabytes".
std::vector<std::string> customizeEntries();

// Bytes of a customize entry: "5120k" gives 5,120,000, "6006 Megabytes" 6,006,000,000.
std::int64_t customEntryBytes(const std::string& entry);

// The current size choice of the window: a preset index, or the customize option with the
// text of the selected list entry.
struct SizeChoice {
    std::optional<std::size_t> presetIndex; // empty: the customize option is checked
    std::string customEntry;
};

std::int64_t resolveSplitSize(const SizeChoice& choice);

// A size typed by a user of the command line: plain bytes ("1400000"), a number with a unit in
// any letter case ("10M", "10mb" decimal, "10MiB" binary; k, M and G), or a size as the window
// shows it: a preset's label ("1.4 Megabytes"), its button ("4600 Meg Files") or a customize
// entry ("5120k", "4600 Megabytes"). Empty when it is none of these or no whole number of bytes.
std::optional<std::int64_t> sizeFromText(const std::string& text);

} // namespace size_catalogue
