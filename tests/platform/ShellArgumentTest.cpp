#include "platform/ShellArgument.h"

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

namespace {

// What sh makes of command's words, printed one after the other.
std::string shellReading(const std::string& words) {
    const std::unique_ptr<FILE, int (*)(FILE*)> shell(::popen(("printf %s " + words).c_str(), "r"),
                                                      ::pclose);
    std::string read;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, shell.get())) > 0;)
        read.append(buffer, n);
    return read;
}

} // namespace

// A suggested command names the very file, however the name reads to a shell.
TEST(ShellArgument, TheShellReadsBackTheName) {
    const std::pair<std::string, std::string> cases[] = {
        {"movie.sha256", "movie.sha256"},
        {"my movie.sha256", "'my movie.sha256'"},
        {"it's $HOME `id` *.bat", "'it'\"'\"'s $HOME `id` *.bat'"},
        {"café\t写真.bat", "'café\t写真.bat'"},
        {"-n.bat", "./-n.bat"},
    };
    for (const auto& [name, argument] : cases) {
        EXPECT_EQ(shellFileArgument(name), argument);
        const std::string path = name[0] == '-' ? "./" + name : name;
        EXPECT_EQ(shellReading(shellFileArgument(name)), path);
    }
}
