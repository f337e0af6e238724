#include "app/terminal/ProgressLine.h"

#include <iostream>

#include <unistd.h>

ProgressLine::ProgressLine() : m_drawn(isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
    if (m_shownLength > 0)
        std::cerr << '\n';
}

void ProgressLine::show(const std::string& text) {
    if (!m_drawn)
        return;
    // Blanks wipe what a longer earlier text left behind.
    const std::size_t blanks = m_shownLength > text.size() ? m_shownLength - text.size() : 0;
    std::cerr << '\r' << text << std::string(blanks, ' ') << std::flush;
    m_shownLength = text.size();
}
