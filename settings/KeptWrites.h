#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FolderLock.h"

namespace settings {

// Settings writes made for a window, whose thread must not wait for another program's lock: a
// write that finds the lock held is kept and tried again before each later one, and at the
// latest by saveKept. Kept writes run in the order they were asked for.
class KeptWrites {
public:
    // change makes the write, waiting as long as it is given; what names the file and the value
    // for the user, should it never be saved.
    using Change = std::function<void(LockWait)>;

    // Tries the writes kept so far and then change, without waiting for the lock; keeps what
    // finds it held. Other failures are thrown, and the failed write is not kept.
    void write(std::string what, Change change);
    // Tries every kept write, waiting as long as a settings write waits (kLockWait) until one
    // wait runs out, and not at all after it. Returns what still could not be
    // saved, which is then dropped.
    std::vector<std::string> saveKept();

private:
    // Tries the kept writes in order, each waiting as long as given; true when none is left.
    bool tryKept(LockWait wait);

    std::vector<std::pair<std::string, Change>> m_kept;
};

} // namespace settings
