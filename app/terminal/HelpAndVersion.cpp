#include "app/terminal/HelpAndVersion.h"

#include <iostream>

#include "Version.h"
#include "app/terminal/ExitStatus.h"

std::optional<int> answerHelpOrVersion(const std::vector<std::string>& arguments,
                                       const std::string& usage, const char* program) {
    if (arguments.size() != 1)
        return std::nullopt;
    if (arguments[0] == "--help" || arguments[0] == "-h")
        std::cout << usage;
    else if (arguments[0] == "--version" || arguments[0] == "-v")
        std::cout << program << " (Orvanto) " << ORVANTO_VERSION << '\n';
    else
        return std::nullopt;
    return exit_status::kDone;
}
