#pragma once

#include <cstdint>
#include <string>

class File;
class Folder;

// Progressive write-back of a file written from start to end: each step of kWriteBackStep bytes
// is handed to the device as soon as it is written, and the writer waits only for the step
// kStepsInFlight before it, so the device always has work queued, the file's unwritten data stays
// within a few steps whatever its size, and a slow device slows the writer instead of filling
// the memory.
class WriteBack {
public:
    static constexpr std::int64_t kWriteBackStep = 4 << 20;
    // One step in flight left the device idle while the writer waited: a 1 GB split into 95 MB
    // pieces took 1.15 to 1.25 times split -b with its sync; three take 1.03 to 1.06.
    static constexpr std::int64_t kStepsInFlight = 3;

    explicit WriteBack(File& file) : m_file(file) {}

    // count more bytes were written at the end; returns how many bytes this call saw reach the
    // device.
    std::int64_t written(std::int64_t count);
    // Hands all the file's data not yet handed to the device, without waiting.
    void startRest();
    // Waits until all the file's data is on the device; returns the bytes that reached it
    // meanwhile. Its metadata (size, name) needs File::syncToDevice or syncFileSystemOf.
    std::int64_t finish();

private:
    File& m_file;
    std::int64_t m_written = 0;
    std::int64_t m_started = 0; // write-back started up to here
    std::int64_t m_onDevice = 0;
};

// Waits until everything written to the file system that holds the file is on the device,
// metadata included (syncfs): one commit for the sizes and names of all the files just written.
void syncFileSystemOf(const File& file);
// Puts the folder's entries on the device (fsync of the folder), so the names of files just
// made or renamed there survive a power loss.
void syncFolder(const Folder& folder);
