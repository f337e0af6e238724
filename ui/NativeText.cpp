#include "ui/NativeText.h"

#include <filesystem>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QStringList>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace {

// The one name in folder that Qt shows as shown, or shown's own bytes when there is not one.
std::string nameOnDisk(const std::string& folder, const QString& shown) {
    std::vector<std::string> matches;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (fromNative(name) == shown)
            matches.push_back(name);
    }
    return matches.size() == 1 ? matches.front() : toNative(shown);
}

} // namespace

QString fromNative(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}

std::string toNative(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

std::string chosenPath(const QString& path) {
    const std::string bytes = toNative(path);
    if (!path.contains(QChar::ReplacementCharacter) ||
        fs_entry::entryKind(bytes) != fs_entry::Kind::None)
        return bytes;
    std::string found = path.startsWith(QLatin1Char('/')) ? "/" : "";
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const std::string name = part.contains(QChar::ReplacementCharacter)
                                     ? nameOnDisk(found.empty() ? "." : found, part)
                                     : toNative(part);
        found = paths::joined(found, name);
    }
    return found;
}
