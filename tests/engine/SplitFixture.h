#pragma once

#include <cstdint>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "engine/Job.h"
#include "engine/JobSteps.h"
#include "engine/SplitJob.h"
#include "support/TempFolder.h"

// A split test: a folder for the source and the pieces, and the steps of the job that runs.
class SplitFixture : public ::testing::Test {
protected:
    // Writes a patterned source file of size bytes into folder() and returns its path.
    std::string makeSource(const std::string& name, std::int64_t size) const;
    // The split request as the window makes it, with the size read when the file was chosen,
    // into m_outputFolder.
    SplitOutcome split(const std::string& sourcePath, std::int64_t splitSize);
    // Checks the request and runs the job of its plan on this thread.
    SplitOutcome split(const SplitRequest& request);
    // Asks the running job to stop; called from a step.
    void stopJob() { m_job->requestStop(); }

    const std::string& folder() const { return m_folder.path(); }

    TempFolder m_folder;
    std::string m_outputFolder;
    JobSteps m_steps;
    SplitJob* m_job = nullptr;
    // The job's figures when it returned.
    JobProgress m_finalProgress;
};

// Size of a file in bytes.
std::int64_t fileSize(const std::string& path);
// Number of file descriptors the process holds.
std::size_t openDescriptorCount();
