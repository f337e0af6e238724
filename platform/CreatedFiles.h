#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The files a job has made in one folder and not yet removed, kept apart from the job: when the
// job hangs in a call to a medium, the program can still remove them through the folder it holds
// before it gives up, and say what may really be left. Every member may be called from any
// thread.
class CreatedFiles {
public:
    // Copies share one record.
    CreatedFiles();

    // Where the files are made: a copy of folderDescriptor is kept; folderPath is for messages.
    void setFolder(int folderDescriptor, const std::string& folderPath);
    std::string folderPath() const;

    // Around the call that makes name: from beginMaking on it may exist; made() says it does, and
    // only then may it be removed, since a name that was taken before belongs to someone else.
    // False from beginMaking once the program gave up: nothing more may be made.
    bool beginMaking(const std::string& name);
    void made(const std::string& name);
    // It was not made, or it was removed, or it took another name.
    void gone(const std::string& name);

    // The names made and not removed, oldest first.
    std::vector<std::string> madeNames() const;
    // Those and the names in making: what may stand now.
    std::vector<std::string> mayStand() const;
    // The job is complete: its files are the user's, and no one gives up on them.
    void keepAll();

    // Gives up for the job: removes every file made, on a thread of its own so that a medium
    // that no longer answers holds the caller for at most wait; returns what may be left, the
    // names in making included. Nothing is made afterwards.
    std::vector<std::string> removeAllWithin(std::chrono::milliseconds wait);

private:
    struct State;
    std::shared_ptr<State> m_state;
};
