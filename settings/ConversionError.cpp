#include "settings/ConversionError.h"

ConversionError::ConversionError(const std::string& text, Target target)
    : std::runtime_error(text), m_text(text), m_target(target) {}
