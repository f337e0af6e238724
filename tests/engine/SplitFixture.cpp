#include "SplitFixture.h"

#include <filesystem>
#include <variant>

#include "platform/FileSystem.h"

std::string SplitFixture::makeSource(const std::string& name, std::int64_t size) const {
    const std::string path = m_folder.file(name);
    writePatternFile(path, size);
    return path;
}

SplitOutcome SplitFixture::split(const std::string& sourcePath, std::int64_t splitSize) {
    return split({sourcePath, fs_entry::targetSize(sourcePath), splitSize, m_outputFolder});
}

SplitOutcome SplitFixture::split(const SplitRequest& request) {
    SplitJob job(request);
    job.observeSteps([this, &job] {
        // A job that no longer moves on takes steps for ever: stopped, it fails the test's checks.
        constexpr long kMostSteps = 1'000'000;
        if (++m_steps.count == kMostSteps) {
            ADD_FAILURE() << "the split took " << kMostSteps << " steps without an end";
            job.requestStop();
        }
        if (m_steps.onStep)
            m_steps.onStep();
    });
    m_job = &job;
    const SplitOutcome outcome = job.run();
    m_job = nullptr;
    m_finalProgress = job.progress();
    return outcome;
}

std::int64_t fileSize(const std::string& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

std::size_t openDescriptorCount() {
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd");
         it != std::filesystem::directory_iterator(); ++it)
        ++count;
    return count;
}
