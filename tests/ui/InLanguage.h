#pragma once

#include <clocale>
#include <cstdlib>
#include <string>

#include <libintl.h>

// The catalogue speaks language for the object's lifetime, as it does in an environment with
// LANGUAGE set (which gettext ignores in the plain C locale). Setting the text domain again tells
// gettext to forget the translations it looked up before.
class InLanguage {
public:
    explicit InLanguage(const char* language) : m_locale(std::setlocale(LC_MESSAGES, nullptr)) {
        setenv("LANGUAGE", language, 1);
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        textdomain(textdomain(nullptr));
    }
    ~InLanguage() {
        unsetenv("LANGUAGE");
        std::setlocale(LC_MESSAGES, m_locale.c_str());
        textdomain(textdomain(nullptr));
    }
    InLanguage(const InLanguage&) = delete;
    InLanguage& operator=(const InLanguage&) = delete;

private:
    std::string m_locale;
};
