#pragma once

#include <string>
#include <sys/types.h>

#include "support/TempFolder.h"

// Waits, for a generous while, until folder (ending with "/") is a file system of its own; false
// as soon as pid, the process that mounts it, has ended.
bool waitUntilMounted(const std::string& folder, pid_t pid);

// orvanto_test_medium (tests/medium/TestMedium.cpp) mounted over a temporary folder for the
// object's life; rules() tells it when to hang, fail or vanish.
class MountedMedium {
public:
    // program: the medium's path; options: its options, such as "--writeback".
    explicit MountedMedium(const std::string& program, const std::string& options = "");
    ~MountedMedium();
    MountedMedium(const MountedMedium&) = delete;
    MountedMedium& operator=(const MountedMedium&) = delete;

    // Empty once mounted; else why it could not be (for GTEST_SKIP).
    const std::string& whyNotMounted() const { return m_whyNot; }
    // The mounted folder, ending with "/", and the folder that holds what it stores.
    std::string folder() const { return m_files.file("mount/"); }
    std::string backing() const { return m_files.file("backing/"); }
    // Replaces the rules: lines of "OPERATION ACTION [BYTES [NAME]]"; empty lifts them all.
    void setRules(const std::string& lines);
    // True once a call hangs on a rule, within generous seconds.
    bool waitUntilACallHangs() const;

private:
    TempFolder m_files;
    pid_t m_pid = -1;
    std::string m_whyNot;
};
