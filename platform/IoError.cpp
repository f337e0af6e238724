#include "platform/IoError.h"

#include <cstring>

#include "platform/VisibleText.h"

namespace {

std::string describe(const std::string& operation, const std::string& path, int errorNumber) {
    return "Could not " + operation + " " + visibleText(path) + ": " + std::strerror(errorNumber);
}

} // namespace

IoError::IoError(const std::string& operation, const std::string& path, int errorNumber)
    : std::runtime_error(describe(operation, path, errorNumber)), m_errorNumber(errorNumber) {}

IoError::IoError(const std::string& message) : std::runtime_error(visibleText(message)) {}
