#pragma once

#include <stdexcept>
#include <string>

// A text that should hold a value of the target type does not ("7x" for an integer). The faces
// word it; what() holds only the text.
class ConversionError : public std::runtime_error {
public:
    enum class Target { Integer };

    ConversionError(const std::string& text, Target target);

    const std::string& text() const { return m_text; }
    Target target() const { return m_target; }

private:
    std::string m_text;
    Target m_target;
};
