#pragma once

#include <string>

// Runs rejoin scripts with Wine's cmd, the nearest thing to Windows here. Every test shares one
// Wine prefix under the temporary folder, whose first start takes a while. A session holds the
// prefix for itself (a test in another process waits for it) and keeps one Wine server running
// for its length, so that each script starts in well under a second.
class WineCmd {
public:
    static bool installed();

    WineCmd();
    ~WineCmd();
    WineCmd(const WineCmd&) = delete;
    WineCmd& operator=(const WineCmd&) = delete;

    // Runs the script in folder as if its quoted name were typed into a cmd window there, the
    // way Explorer starts it; returns what cmd printed.
    std::string runScript(const std::string& folder, const std::string& scriptName) const;
    // cmd /c scriptName in folder, in a console (a pty) where chcp works: what it showed, bare.
    std::string runInConsole(const std::string& folder, const std::string& scriptName) const;

private:
    std::string m_prefix;
    int m_lock = -1;
};
