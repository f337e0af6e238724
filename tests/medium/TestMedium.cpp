// orvanto_test_medium: a FUSE folder, stored in a backing folder, that hangs, fails or vanishes
// on command, so that the tests can drive the real programs against a medium that stops
// answering.
//
//   orvanto_test_medium [--writeback] [--control FILE] BACKING MOUNTPOINT [RULE...]
//
// A RULE is "OPERATION ACTION [BYTES [NAME]]" (one argument, or one line of FILE):
//   OPERATION  read, write, flush (the file system's part of close(); its result is close's),
//              fsync, release (the last close; the kernel never reports its result), open or
//              statfs (the question of the free space and the file system's limits)
//   ACTION     hang    wait until the rule is lifted, or give up with EINTR when the kernel
//                      passes on the caller's signal (an interruptible medium)
//              hold    wait until the rule is lifted, whatever the caller receives (a hard mount)
//              eio     fail with "Input/output error"
//              vanish  the folder and everything in it vanish, for good, at the first call of
//                      any kind once BYTES have passed: names are no longer found and files
//                      already open fail with EIO
//   BYTES      the rule applies once this many bytes have been read (read) or written (all
//              others) through the folder; 0 when left out
//   NAME       the rule applies only to calls on the file of that name, as it is named then
// --control FILE is read again whenever it changes; its lines then replace every rule (an empty
// FILE lifts them all, and lets hung calls go). When a call starts to hang or hold, the file
// FILE.hung is created, holding the operation's name, so that a test knows the caller waits.
// --writeback turns on the kernel's write-back cache, which holds written pages in the kernel and
// hands them over at flush, fsync or later. The program stays in the foreground until the folder is
// unmounted (fusermount3 -u MOUNTPOINT), and prints "ready" on standard output once the folder is
// mounted.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "medium/FuseFolder.h"

namespace {

enum class Operation { Read, Write, Flush, Fsync, Release, Open, Statfs };
enum class Action { Hang, Hold, Eio, Vanish };

struct Rule {
    Operation operation;
    Action action;
    unsigned long long afterBytes = 0;
    std::string name; // "/NAME", or empty for every file
};

std::string g_controlFile;

std::mutex g_mutex;
std::vector<Rule> g_rules;
timespec g_controlChanged{};
bool g_vanished = false;
std::atomic<unsigned long long> g_bytesRead{0};
std::atomic<unsigned long long> g_bytesWritten{0};

std::optional<Operation> operationNamed(const std::string& name) {
    static const std::pair<const char*, Operation> kNames[] = {
        {"read", Operation::Read},    {"write", Operation::Write},     {"flush", Operation::Flush},
        {"fsync", Operation::Fsync},  {"release", Operation::Release}, {"open", Operation::Open},
        {"statfs", Operation::Statfs}};
    for (const auto& [text, operation] : kNames)
        if (name == text)
            return operation;
    return std::nullopt;
}

std::optional<Action> actionNamed(const std::string& name) {
    static const std::pair<const char*, Action> kNames[] = {{"hang", Action::Hang},
                                                            {"hold", Action::Hold},
                                                            {"eio", Action::Eio},
                                                            {"vanish", Action::Vanish}};
    for (const auto& [text, action] : kNames)
        if (name == text)
            return action;
    return std::nullopt;
}

std::optional<Rule> ruleFrom(const std::string& text) {
    std::istringstream words(text);
    std::string operationName, actionName;
    Rule rule{};
    if (!(words >> operationName >> actionName))
        return std::nullopt;
    const auto operation = operationNamed(operationName);
    const auto action = actionNamed(actionName);
    if (!operation || !action)
        return std::nullopt;
    rule.operation = *operation;
    rule.action = *action;
    if (words >> rule.afterBytes >> rule.name)
        rule.name.insert(0, "/");
    return rule;
}

// Rereads the control file if it changed since it was last read. Called with g_mutex held.
void followControlFile() {
    if (g_controlFile.empty())
        return;
    struct stat status {};
    if (::stat(g_controlFile.c_str(), &status) != 0)
        return;
    if (status.st_mtim.tv_sec == g_controlChanged.tv_sec &&
        status.st_mtim.tv_nsec == g_controlChanged.tv_nsec)
        return;
    g_controlChanged = status.st_mtim;
    g_rules.clear();
    std::ifstream lines(g_controlFile);
    for (std::string line; std::getline(lines, line);)
        if (const auto rule = ruleFrom(line))
            g_rules.push_back(*rule);
}

unsigned long long bytesSeenBy(Operation operation) {
    return operation == Operation::Read ? g_bytesRead.load() : g_bytesWritten.load();
}

// A vanish rule takes effect on any call once its bytes have passed, not only on its operation.
// Called with g_mutex held.
bool vanishedWithLock() {
    followControlFile();
    for (const Rule& rule : g_rules)
        if (rule.action == Action::Vanish && bytesSeenBy(rule.operation) >= rule.afterBytes)
            g_vanished = true;
    return g_vanished;
}

std::optional<Action> actionFor(Operation operation, const char* path) {
    for (const Rule& rule : g_rules)
        if (rule.operation == operation && bytesSeenBy(operation) >= rule.afterBytes &&
            (rule.name.empty() || (path && rule.name == path)))
            return rule.action;
    return std::nullopt;
}

const char* nameOf(Operation operation) {
    static const char* const kNames[] = {"read",    "write", "flush", "fsync",
                                         "release", "open",  "statfs"};
    return kNames[static_cast<int>(operation)];
}

void noteHanging(Operation operation) {
    if (g_controlFile.empty())
        return;
    std::ofstream(g_controlFile + ".hung") << nameOf(operation) << '\n';
}

// Applies the rules to one call: 0 to go on, or the error to answer with.
int faultOf(Operation operation, const char* path) {
    std::unique_lock<std::mutex> lock(g_mutex);
    for (bool noted = false;; noted = true) {
        if (vanishedWithLock())
            return operation == Operation::Open ? -ENOENT : -EIO;
        const auto action = actionFor(operation, path);
        if (!action || *action == Action::Vanish)
            return 0;
        switch (*action) {
        case Action::Eio:
            return -EIO;
        case Action::Hang:
            if (fuse_interrupted())
                return -EINTR;
            break;
        case Action::Hold:
        case Action::Vanish:
            break;
        }
        if (!noted)
            noteHanging(operation);
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        lock.lock();
    }
}

bool vanished() {
    const std::lock_guard<std::mutex> lock(g_mutex);
    return vanishedWithLock();
}

int onCreate(const char* path, mode_t mode, fuse_file_info* file) {
    if (const int fault = faultOf(Operation::Open, path))
        return fault;
    return fuse_folder::create(path, mode, file);
}

int onOpen(const char* path, fuse_file_info* file) {
    if (const int fault = faultOf(Operation::Open, path))
        return fault;
    return fuse_folder::open(path, file);
}

int onRead(const char* path, char* buffer, std::size_t size, off_t offset, fuse_file_info* file) {
    if (const int fault = faultOf(Operation::Read, path))
        return fault;
    const int count = fuse_folder::read(path, buffer, size, offset, file);
    if (count > 0)
        g_bytesRead += static_cast<unsigned long long>(count);
    return count;
}

int onWrite(const char* path, const char* data, std::size_t size, off_t offset,
            fuse_file_info* file) {
    if (const int fault = faultOf(Operation::Write, path))
        return fault;
    const int count = fuse_folder::write(path, data, size, offset, file);
    if (count > 0)
        g_bytesWritten += static_cast<unsigned long long>(count);
    return count;
}

int onFlush(const char* path, fuse_file_info*) {
    return faultOf(Operation::Flush, path);
}

int onFsync(const char* path, int dataOnly, fuse_file_info* file) {
    if (const int fault = faultOf(Operation::Fsync, path))
        return fault;
    return fuse_folder::fsync(path, dataOnly, file);
}

int onRelease(const char* path, fuse_file_info* file) {
    const int fault = faultOf(Operation::Release, path);
    fuse_folder::release(path, file);
    return fault;
}

int (*g_passedStatfs)(const char*, struct statvfs*) = nullptr;

int onStatfs(const char* path, struct statvfs* status) {
    if (const int fault = faultOf(Operation::Statfs, path))
        return fault;
    return g_passedStatfs(path, status);
}

fuse_operations operations() {
    fuse_operations operations = fuse_folder::passThrough();
    g_passedStatfs = operations.statfs;
    operations.statfs = onStatfs;
    operations.create = onCreate;
    operations.open = onOpen;
    operations.read = onRead;
    operations.write = onWrite;
    operations.flush = onFlush;
    operations.fsync = onFsync;
    operations.release = onRelease;
    return operations;
}

int usage() {
    std::fputs("usage: orvanto_test_medium [--writeback] [--control FILE] BACKING MOUNTPOINT "
               "[\"OPERATION ACTION [BYTES [NAME]]\"...]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    fuse_folder::Settings& settings = fuse_folder::settings();
    int next = 1;
    for (; next < argc && std::strncmp(argv[next], "--", 2) == 0; ++next) {
        if (std::strcmp(argv[next], "--writeback") == 0)
            settings.writeBack = true;
        else if (std::strcmp(argv[next], "--control") == 0 && next + 1 < argc)
            g_controlFile = argv[++next];
        else
            return usage();
    }
    if (argc - next < 2)
        return usage();
    settings.backing = argv[next];
    settings.cacheNothing = true;
    settings.vanished = vanished;
    for (int index = next + 2; index < argc; ++index) {
        const auto rule = ruleFrom(argv[index]);
        if (!rule)
            return usage();
        g_rules.push_back(*rule);
    }
    return fuse_folder::serve(argv[0], operations(), argv[next + 1], false);
}
