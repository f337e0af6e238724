#include "engine/ChecksumFile.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "platform/File.h"
#include "platform/IoError.h"

namespace {

constexpr std::size_t kDigestLength = 64;
const std::string kSeparator = "  ";

std::string line(const std::string& digest, const std::string& name) {
    return digest + kSeparator + name + "\n";
}

bool isDigest(const std::string& text) {
    return text.size() == kDigestLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// Up to limit bytes of the file: enough to tell a longer file from the expected one.
std::string readAtMost(File& file, std::size_t limit) {
    std::string content(limit, '\0');
    content.resize(file.readFully(content.data(), limit));
    return content;
}

// The digests of content, whose lines must name names in order and nothing else.
std::variant<std::vector<std::string>, JoinRefusal>
digestsOf(const std::string& content, const std::string& fileName,
          const std::vector<std::string>& names) {
    std::vector<std::string> digests;
    std::size_t at = 0;
    for (const std::string& name : names) {
        const int lineNumber = static_cast<int>(digests.size()) + 1;
        const std::size_t end = content.find('\n', at);
        const std::string text =
            end == std::string::npos ? std::string() : content.substr(at, end + 1 - at);
        const std::string digest = text.substr(0, std::min(text.size(), kDigestLength));
        if (!isDigest(digest) || text != line(digest, name))
            return join_refusal::ChecksumForm{fileName, lineNumber, name};
        digests.push_back(digest);
        at = end + 1;
    }
    if (at != content.size())
        return join_refusal::ChecksumForm{fileName, static_cast<int>(names.size()) + 1, ""};
    return digests;
}

} // namespace

namespace checksum_file {

std::string nameFor(const std::string& baseName) {
    return baseName + ".sha256";
}

std::size_t size(const std::vector<std::string>& pieceNames, const std::string& targetName) {
    std::size_t size = line(std::string(kDigestLength, '0'), targetName).size();
    for (const std::string& name : pieceNames)
        size += line(std::string(kDigestLength, '0'), name).size();
    return size;
}

std::string text(const Digests& digests, const std::vector<std::string>& pieceNames,
                 const std::string& targetName) {
    std::string content;
    // at(): a digest missing for a piece is a fault to report, never a read past the list.
    for (std::size_t index = 0; index < pieceNames.size(); ++index)
        content += line(digests.pieces.at(index), pieceNames[index]);
    return content + line(digests.whole, targetName);
}

std::variant<Digests, Absent, JoinRefusal> read(const Folder& folder, const std::string& name,
                                                const std::vector<std::string>& pieceNames,
                                                const std::string& targetName) {
    std::vector<std::string> names = pieceNames;
    names.push_back(targetName);
    std::string content;
    try {
        File file = File::openRegular(folder, name, File::Links::Refuse);
        // One byte more than the expected file tells a longer one; more is never read.
        content = readAtMost(file, size(pieceNames, targetName) + 1);
    } catch (const File::NotPlainFile&) {
        return join_refusal::ChecksumNotPlainFile{name};
    } catch (const IoError& error) {
        // A name longer than the file system holds: the split could write none.
        if (error.errorNumber() != ENOENT && error.errorNumber() != ENAMETOOLONG)
            throw;
        return Absent{};
    }
    auto digests = digestsOf(content, name, names);
    if (const auto* refusal = std::get_if<JoinRefusal>(&digests))
        return *refusal;
    auto& all = std::get<std::vector<std::string>>(digests);
    Digests result;
    result.whole = all.back();
    all.pop_back();
    result.pieces = std::move(all);
    return result;
}

} // namespace checksum_file
