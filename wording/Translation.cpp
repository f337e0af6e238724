#include "wording/Translation.h"

#include <clocale>
#include <vector>

#include <libintl.h>

#include "platform/Paths.h"

namespace {

const char* const kDomain = "orvanto";

} // namespace

void startTranslation(const std::string& folder) {
    // Only the words and the character set follow the environment: numbers stay as they are.
    std::setlocale(LC_MESSAGES, "");
    std::setlocale(LC_CTYPE, "");
    bindtextdomain(kDomain, folder.c_str());
    // Names and texts are UTF-8 everywhere in Orvanto, whatever the terminal's character set.
    bind_textdomain_codeset(kDomain, "UTF-8");
}

std::string catalogueFolder(const std::string& programFolder) {
    const std::string beside = paths::joined(programFolder, "locale/");
    if (paths::folderError(beside) == 0)
        return beside;
    const std::string withoutSlash = programFolder.substr(0, programFolder.size() - 1);
    const std::string parent = withoutSlash.empty() ? "/" : paths::folderOf(withoutSlash);
    return paths::joined(parent, "share/locale/");
}

const char* translate(const char* text) {
    return dgettext(kDomain, text);
}

const char* translatePlural(const char* singular, const char* plural, unsigned long count) {
    return dngettext(kDomain, singular, plural, count);
}

std::string fillIn(const std::string& text, std::initializer_list<std::string> values) {
    const std::vector<std::string> byNumber(values);
    std::string filled;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        const std::size_t number = static_cast<std::size_t>(next - '0');
        if (text[at] == '%' && next >= '1' && next <= '9' && number <= byNumber.size()) {
            filled += byNumber[number - 1];
            ++at;
        } else {
            filled += text[at];
        }
    }
    return filled;
}
