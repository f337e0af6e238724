#include "settings/ProfileFile.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "platform/PlainText.h"
#include "platform/WholeFile.h"
#include "settings/SettingsFileError.h"

namespace profile {

namespace {

const std::string kByteOrderMark = "\xEF\xBB\xBF";
const std::string kNewFileLineEnd = "\r\n";

struct Line {
    std::string text;
    std::string ending; // "\r\n", "\n", "\r", or empty for a last line without one
};

// A file cut into lines so that joining them again gives back the same bytes.
struct ProfileText {
    std::string byteOrderMark;
    std::vector<Line> lines;
};

struct Entry {
    std::string key;
    std::string value;
};

// Where a key stands in a file: its line, and the last non-blank line of the last section of
// that name (a new key goes after it).
struct Place {
    std::optional<std::size_t> keyLine;
    std::optional<std::size_t> sectionEnd;
};

ProfileText splitLines(const std::string& content) {
    ProfileText text;
    std::size_t at = 0;
    if (content.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
        text.byteOrderMark = kByteOrderMark;
        at = kByteOrderMark.size();
    }
    while (at < content.size()) {
        const std::size_t end = std::min(content.find_first_of("\r\n", at), content.size());
        std::size_t next = end;
        if (next < content.size())
            next += content.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        text.lines.push_back({content.substr(at, end - at), content.substr(end, next - end)});
        at = next;
    }
    return text;
}

std::string joinLines(const ProfileText& text) {
    std::string content = text.byteOrderMark;
    for (const Line& line : text.lines)
        content += line.text + line.ending;
    return content;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text) {
    return plain_text::trimmed(text, isBlank);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool isQuoted(const std::string& value) {
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

// "[name]" gives name; a header that lacks its "]" still counts up to the end of the line.
std::optional<std::string> sectionNameOf(const std::string& trimmedLine) {
    if (trimmedLine.empty() || trimmedLine.front() != '[')
        return std::nullopt;
    const std::size_t close = trimmedLine.find(']');
    return trimmed(trimmedLine.substr(1, close == std::string::npos ? close : close - 1));
}

// "key = value" and "key="value"" give key and value; comments and lines without "=" give none.
std::optional<Entry> entryOf(const std::string& trimmedLine) {
    const std::size_t equals = trimmedLine.find('=');
    if (equals == std::string::npos || trimmedLine.front() == ';')
        return std::nullopt;
    std::string value = trimmed(trimmedLine.substr(equals + 1));
    if (isQuoted(value))
        value = value.substr(1, value.size() - 2);
    return Entry{trimmed(trimmedLine.substr(0, equals)), value};
}

// Sections of the same name count as one; the first line of a key wins.
Place locate(const std::vector<Line>& lines, const std::string& section, const std::string& key) {
    Place place;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string text = trimmed(lines[i].text);
        if (const std::optional<std::string> name = sectionNameOf(text)) {
            inSection = sameName(*name, section);
            if (inSection)
                place.sectionEnd = i;
            continue;
        }
        if (!inSection || text.empty())
            continue;
        place.sectionEnd = i;
        const std::optional<Entry> entry = entryOf(text);
        if (!place.keyLine && entry && sameName(entry->key, key))
            place.keyLine = i;
    }
    return place;
}

std::string cutValue(const std::string& value) {
    const std::string text = value.substr(0, value.find('\0'));
    return text.substr(0, kMaxValueLength);
}

// A value with blanks at an end, or in quotes of its own, is quoted so it reads back unchanged.
std::string storedValue(const std::string& value) {
    if (!value.empty() && (isBlank(value.front()) || isBlank(value.back()) || isQuoted(value)))
        return '"' + value + '"';
    return value;
}

std::string lineEndingOf(const ProfileText& text) {
    for (const Line& line : text.lines) {
        if (!line.ending.empty())
            return line.ending;
    }
    return kNewFileLineEnd;
}

void insertLine(std::vector<Line>& lines, std::size_t at, const std::string& text,
                const std::string& ending) {
    if (at > 0 && lines[at - 1].ending.empty())
        lines[at - 1].ending = ending;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{text, ending});
}

void setValue(std::vector<Line>& lines, const std::string& section, const std::string& key,
              const std::string& value, const std::string& ending) {
    const Place place = locate(lines, section, key);
    if (place.keyLine) {
        Line& line = lines[*place.keyLine];
        line.text = entryOf(trimmed(line.text))->key + "=" + storedValue(value);
    } else if (place.sectionEnd) {
        insertLine(lines, *place.sectionEnd + 1, key + "=" + storedValue(value), ending);
    } else {
        insertLine(lines, lines.size(), "[" + section + "]", ending);
        insertLine(lines, lines.size(), key + "=" + storedValue(value), ending);
    }
}

using Values = std::vector<std::pair<std::string, std::string>>;

// A line break inside a name or value would split it into lines of their own.
bool breaksLines(const std::string& section, const Values& values) {
    const auto hasBreak = [](const std::string& s) {
        return s.find_first_of("\r\n") != std::string::npos;
    };
    return hasBreak(section) || std::any_of(values.begin(), values.end(), [&](const auto& pair) {
               return hasBreak(pair.first) || hasBreak(pair.second);
           });
}

std::string valueIn(const ProfileText& text, const std::string& section, const std::string& key,
                    const std::string& fallback) {
    const Place place = locate(text.lines, section, key);
    if (!place.keyLine)
        return fallback;
    return cutValue(entryOf(trimmed(text.lines[*place.keyLine].text))->value);
}

// One read-change-write of the file: valuesFor gets the current text, and whether there was a
// file, and gives the values to set.
void rewrite(const std::string& path, const std::string& section,
             const std::function<Values(const ProfileText&, bool)>& valuesFor,
             LockWait lockWait = std::nullopt) {
    try {
        whole_file::update(
            path,
            [&](const std::optional<std::string>& content) {
                ProfileText text = content ? splitLines(*content) : ProfileText{};
                const Values values = valuesFor(text, content.has_value());
                if (breaksLines(section, values))
                    throw SettingsFileError(SettingsFileError::Kind::Write, path, 0);
                const std::string ending = lineEndingOf(text);
                for (const auto& [key, value] : values)
                    setValue(text.lines, section, key, value, ending);
                return joinLines(text);
            },
            lockWait);
    } catch (const IoError& error) {
        // Stopped at logout while another program held the lock: the lock is what held it up.
        if (error.operation() == IoError::Operation::Lock && error.errorNumber() == EINTR)
            throw SettingsFileError(SettingsFileError::Kind::LockWaitStopped, path, EINTR,
                                    error.path());
        throw SettingsFileError(SettingsFileError::Kind::Write, path, error.errorNumber());
    }
}

} // namespace

std::string readString(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& fallback) {
    const std::optional<std::string> content = whole_file::readIfExists(path);
    return content ? valueIn(splitLines(*content), section, key, fallback) : fallback;
}

void writeStrings(const std::string& path, const std::string& section, const Values& values,
                  LockWait lockWait) {
    rewrite(
        path, section, [&](const ProfileText&, bool) { return values; }, lockWait);
}

void createWithString(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& value, LockWait lockWait) {
    // A start must not wait for another program's lock when there is nothing to create.
    if (fs_entry::entryKind(path) == fs_entry::Kind::Regular)
        return;
    rewrite(
        path, section,
        [&](const ProfileText&, bool exists) {
            return exists ? Values{} : Values{{key, value}};
        },
        lockWait);
}

void writeString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value, LockWait lockWait) {
    writeStrings(path, section, {{key, value}}, lockWait);
}

void changeString(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& fallback,
                  const std::function<std::string(const std::string&)>& change, LockWait lockWait) {
    rewrite(
        path, section,
        [&](const ProfileText& text, bool) {
            return Values{{key, change(valueIn(text, section, key, fallback))}};
        },
        lockWait);
}

} // namespace profile
