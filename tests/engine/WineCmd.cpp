#include "WineCmd.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempFolder.h"

namespace {

std::string singleQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int run(const std::string& command) {
    return std::system(command.c_str());
}

} // namespace

bool WineCmd::installed() {
    return run("command -v wine >/dev/null 2>&1") == 0;
}

WineCmd::WineCmd()
    : m_prefix(
          (std::filesystem::temp_directory_path() / ("orvanto-wine-" + std::to_string(::getuid())))
              .string()) {
    m_lock = ::open((m_prefix + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lock >= 0)
        ::flock(m_lock, LOCK_EX);
    const std::string environment = "WINEDEBUG=-all WINEPREFIX=" + singleQuoted(m_prefix);
    // Wine refuses to create a prefix in a folder the user does not own, such as /tmp.
    ::mkdir(m_prefix.c_str(), 0700);
    // The first start fills the prefix; its server has to end before a lasting one can start.
    if (!std::filesystem::exists(m_prefix + "/system.reg"))
        run(environment + " wine cmd /c exit </dev/null >/dev/null 2>&1 && " + environment +
            " wineserver -w");
    // The server's output goes nowhere: a server that kept a test's pipe open would hang it.
    run(environment + " wineserver -p </dev/null >/dev/null 2>&1");
}

WineCmd::~WineCmd() {
    // The server must be gone before the lock passes on, or the next user's server would race it.
    const std::string environment = "WINEPREFIX=" + singleQuoted(m_prefix);
    run(environment + " wineserver -k </dev/null >/dev/null 2>&1; " + environment +
        " wineserver -w </dev/null >/dev/null 2>&1");
    if (m_lock >= 0)
        ::close(m_lock);
}

// cmd /c cannot be given such a name as an argument: Wine escapes the quotes around it with
// backslashes, which cmd does not read, and unquoted, "&" or "(" would be syntax. Typed at the
// prompt, the quoted name is taken as it is.
std::string WineCmd::runScript(const std::string& folder, const std::string& scriptName) const {
    TempFolder scratch;
    const std::string input = scratch.file("input.txt");
    const std::string output = scratch.file("output.txt");
    writeFile(input, "\"" + scriptName + "\"\r\n");
    run("cd " + singleQuoted(folder) + " && WINEDEBUG=-all WINEPREFIX=" + singleQuoted(m_prefix) +
        " wine cmd <" + singleQuoted(input) + " >" + singleQuoted(output) + " 2>&1");
    return readFile(output);
}

namespace {

// The console's text without carriage returns, CSI sequences (ESC [ ... letter) and titles
// (ESC ] ... BEL), which Wine's console writes around what the script prints.
std::string withoutConsoleControls(const std::string& text) {
    std::string kept;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = at;
        if (text[at] == '\r') {
            end = at + 1;
        } else if (text.compare(at, 2, "\x1B[") == 0) {
            end = text.find_first_not_of("0123456789;?", at + 2);
            const bool letter =
                end != std::string::npos && std::isalpha(static_cast<unsigned char>(text[end]));
            end = letter ? end + 1 : at;
        } else if (text.compare(at, 2, "\x1B]") == 0) {
            end = text.find('\x07', at + 2);
            end = end == std::string::npos ? at : end + 1;
        }
        if (end == at)
            kept += text[at++];
        else
            at = end;
    }
    return kept;
}

} // namespace

std::string WineCmd::runInConsole(const std::string& folder, const std::string& scriptName) const {
    TempFolder scratch;
    const std::string output = scratch.file("output.txt");
    run("cd " + singleQuoted(folder) + " && WINEDEBUG=-all WINEPREFIX=" + singleQuoted(m_prefix) +
        " script -qec " + singleQuoted("wine cmd /c " + scriptName) + " /dev/null </dev/null >" +
        singleQuoted(output) + " 2>&1");
    return withoutConsoleControls(readFile(output));
}
