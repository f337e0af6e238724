#pragma once

#include <functional>

// Runs work in a forked child process and returns the value work returned as the child's exit
// status, or -1 when the child did not exit normally. For tests that change what only a process
// of its own should have: resource limits, the user it runs as. work must not use GoogleTest
// assertions; it reports through its return value.
int runInChild(const std::function<int()>& work);
