#pragma once

#include <functional>
#include <string>

// Runs work in a forked child process and returns the value work returned as the child's exit
// status, or -1 when the child did not exit normally. For tests that change what only a process
// of its own should have: resource limits, the user it runs as. work must not use GoogleTest
// assertions; it reports through its return value.
int runInChild(const std::function<int()>& work);

// The user "nobody", whom tests become so that file permissions bind (root ignores them).
constexpr unsigned kOrdinaryUserId = 65534;

// Gives path and everything below it to kOrdinaryUserId, so that a child that has become that
// user can work there. Does nothing when the tests do not run as root.
void handToOrdinaryUser(const std::string& path);
// In a child: drops root's rights for good. True on success, and when not running as root.
bool becomeOrdinaryUser();
