#include "platform/CreatedFiles.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

struct CreatedFiles::State {
    ~State() {
        if (folder >= 0)
            ::close(folder);
    }

    // Removes name from names, if it is there. Called with mutex held.
    static void drop(std::vector<std::string>& names, const std::string& name) {
        names.erase(std::remove(names.begin(), names.end(), name), names.end());
    }

    std::mutex mutex;
    std::condition_variable removerEnded;
    int folder = -1;
    std::string folderPath;
    std::vector<std::string> made;
    std::vector<std::string> making;
    bool givenUp = false;
    bool removerDone = false;
};

CreatedFiles::CreatedFiles() : m_state(std::make_shared<State>()) {}

void CreatedFiles::setFolder(int folderDescriptor, const std::string& folderPath) {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    if (m_state->givenUp)
        return;
    if (m_state->folder >= 0)
        ::close(m_state->folder);
    m_state->folder = ::fcntl(folderDescriptor, F_DUPFD_CLOEXEC, 0);
    m_state->folderPath = folderPath;
}

std::string CreatedFiles::folderPath() const {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->folderPath;
}

bool CreatedFiles::beginMaking(const std::string& name) {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    if (m_state->givenUp)
        return false;
    m_state->making.push_back(name);
    return true;
}

void CreatedFiles::made(const std::string& name) {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    State::drop(m_state->making, name);
    m_state->made.push_back(name);
}

void CreatedFiles::gone(const std::string& name) {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    State::drop(m_state->making, name);
    State::drop(m_state->made, name);
}

std::vector<std::string> CreatedFiles::madeNames() const {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->made;
}

std::vector<std::string> CreatedFiles::mayStand() const {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    std::vector<std::string> names = m_state->made;
    names.insert(names.end(), m_state->making.begin(), m_state->making.end());
    return names;
}

void CreatedFiles::keepAll() {
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->made.clear();
    m_state->making.clear();
}

std::vector<std::string> CreatedFiles::removeAllWithin(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->givenUp = true;
    // The remover may outlive this call, held by a medium in unlink: it owns a share of the state.
    std::thread([state = m_state, folder = m_state->folder, names = m_state->made] {
        for (const std::string& name : names) {
            int result = 0;
            do
                result = ::unlinkat(folder, name.c_str(), 0);
            while (result != 0 && errno == EINTR);
            if (result == 0 || errno == ENOENT) {
                const std::lock_guard<std::mutex> removed(state->mutex);
                State::drop(state->made, name);
            }
        }
        const std::lock_guard<std::mutex> ended(state->mutex);
        state->removerDone = true;
        state->removerEnded.notify_all();
    }).detach();
    m_state->removerEnded.wait_for(lock, wait, [&] { return m_state->removerDone; });
    lock.unlock();
    return mayStand();
}
