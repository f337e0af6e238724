#pragma once

#include <stdexcept>
#include <string>

// A source that exists and opens but cannot be split. The faces word it; what() holds only the
// path.
class UnsplittableSource : public std::runtime_error {
public:
    enum class Kind {
        NotPlainFile, // a device, a pipe or a socket
        Empty,
    };

    UnsplittableSource(Kind kind, const std::string& path);

    Kind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }

private:
    Kind m_kind;
    std::string m_path;
};

// Throws when path cannot be split: IoError naming the file and the reason when it does not
// exist, is a folder or cannot be read; UnsplittableSource when it is no plain file or empty.
void checkSplittableSource(const std::string& path);
