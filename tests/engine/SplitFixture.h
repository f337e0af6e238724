#pragma once

#include <cstdint>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "RecordingHost.h"
#include "engine/SplitRequest.h"
#include "support/TempFolder.h"

// A split test: a folder for the source and the pieces, and a host that records what the job
// shows.
class SplitFixture : public ::testing::Test {
protected:
    // Writes a patterned source file of size bytes into folder() and returns its path.
    std::string makeSource(const std::string& name, std::int64_t size) const;
    // The split request as the window makes it, with the size read when the file was chosen,
    // into m_outputFolder.
    SplitOutcome split(const std::string& sourcePath, std::int64_t splitSize);

    const std::string& folder() const { return m_folder.path(); }

    TempFolder m_folder;
    std::string m_outputFolder;
    RecordingHost m_host;
};

// Names of every entry directly in a folder.
std::set<std::string> entriesOf(const std::string& folder);
// Size of a file in bytes.
std::int64_t fileSize(const std::string& path);
// Number of file descriptors the process holds.
std::size_t openDescriptorCount();
