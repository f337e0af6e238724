#include "settings/KeptWrites.h"

#include "settings/Settings.h"

namespace settings {

bool KeptWrites::tryKept(LockWait wait) {
    while (!m_kept.empty()) {
        try {
            m_kept.front().second(wait);
        } catch (const FolderLockBusy&) {
            return false;
        } catch (...) {
            m_kept.erase(m_kept.begin());
            throw;
        }
        m_kept.erase(m_kept.begin());
    }
    return true;
}

void KeptWrites::write(std::string what, Change change) {
    m_kept.emplace_back(std::move(what), std::move(change));
    tryKept(kNoLockWait);
}

std::vector<std::string> KeptWrites::saveKept() {
    std::vector<std::string> unsaved;
    LockWait wait = kLockWait;
    while (!tryKept(wait)) {
        // The lock is the folder's, held for all of them: one wait that ran out is enough.
        unsaved.push_back(std::move(m_kept.front().first));
        m_kept.erase(m_kept.begin());
        wait = kNoLockWait;
    }
    return unsaved;
}

} // namespace settings
