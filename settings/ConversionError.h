#pragma once

#include <stdexcept>
#include <string>

// A text that should hold an integer does not: "'7x' is not a valid integer value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text);
};
