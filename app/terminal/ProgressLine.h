#pragma once

#include <cstddef>
#include <string>

// One line of progress on standard error, redrawn in place, and only when standard error is a
// terminal: a log or a pipe gets none of it. The line is ended when the object goes.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Replaces the line's text.
    void show(const std::string& text);

private:
    const bool m_drawn;
    std::size_t m_shownLength = 0;
};
