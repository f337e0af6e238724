// powercut_medium: a FUSE folder that loses power on command, for checking what a program leaves
// on the medium when the power fails at any moment.
//
//   powercut_medium SEED IMAGE LOG CUT_AT MOUNTPOINT
//
// SEED is a real folder whose files the medium holds, already on the device, when it is mounted.
// Every operation that changes the medium or makes something durable is numbered from 1 and
// written to LOG ("N operation path", and the byte count of a write). When operation CUT_AT arrives
// (0: never) the power fails: that operation and every later one fail with EIO, and what survives
// is written to IMAGE. If the power never fails, IMAGE is written when the folder is unmounted,
// which is a cut taken after the program's last operation. IMAGE holds two folders, one per moment
// of the cut:
//
//   before-commit/  the cut comes before the file system's next journal commit: only what was
//                   made durable explicitly survives. A file's data and size survive its fsync or
//                   fdatasync; a folder's entries (names made, renamed, removed) its fsync;
//                   everything a syncfs of the medium.
//   at-commit/      the cut comes just after a journal commit that the program did not ask for:
//                   every name, and every size cut by a truncation, survive as they stand; a
//                   file's data survives only as far as it was written back, by fsync, syncfs
//                   or a completed sync_file_range wait. Data only written is lost.
//
// Why this is no kinder than ext4's default mode (data=ordered, delayed allocation, commit every
// five seconds): ext4 keeps nothing of an operation until a commit holds it, and a power cut may
// fall just before any commit, which is before-commit. A commit holds every metadata change made
// so far (names, sizes of truncations), and in ordered mode the data only of blocks already
// allocated, which delayed allocation does at write-back: data written but not yet written back
// has no blocks and is lost with its size, which is at-commit. fsync, fsync of a folder and
// syncfs force exactly what each keeps here, and sync_file_range alone forces no commit, so it
// keeps nothing before one. Neither image keeps anything ext4 could lose at that moment.
//
// The kernel sends neither syncfs (it does so for virtiofs only) nor sync_file_range to a FUSE
// file system. The preload library powercut_forward_syncs tells the medium of both once they
// returned, as the value of the extended attribute "user.powercut" set on the descriptor they
// were called with ("syncfs", or "written-back FROM COUNT").
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "medium/FuseFolder.h"

namespace {

struct Node {
    bool folder = false;
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    // A file's data: as written, as kept by a cut before a commit, as kept by one after it.
    std::string data, durable, writtenBack;
    // A folder's entries: as they stand, and as kept by a cut before a commit.
    std::map<std::string, std::shared_ptr<Node>> entries, durableEntries;
};

using NodePointer = std::shared_ptr<Node>;

NodePointer g_root;
std::string g_image;
std::ofstream g_log;
long g_cutAt = 0;
long g_operations = 0;
bool g_powerLost = false;

// "/a/b" as its folder and its last name.
std::pair<std::string, std::string> split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return {path.substr(0, slash), path.substr(slash + 1)};
}

// A file without a name is reached only through its open descriptor.
NodePointer find(const char* path) {
    if (path == nullptr)
        return nullptr;
    NodePointer node = g_root;
    std::istringstream names(path);
    std::string name;
    while (node && std::getline(names, name, '/')) {
        if (name.empty())
            continue;
        const auto entry = node->entries.find(name);
        node = entry == node->entries.end() ? nullptr : entry->second;
    }
    return node;
}

Node* opened(const fuse_file_info* info) {
    return reinterpret_cast<Node*>(info->fh);
}

void writeImage(const Node& folder, const std::string& path, bool atCommit) {
    ::mkdir(path.c_str(), 0755);
    for (const auto& [name, node] : atCommit ? folder.entries : folder.durableEntries) {
        const std::string child = path + "/" + name;
        if (node->folder) {
            writeImage(*node, child, atCommit);
            continue;
        }
        std::ofstream(child, std::ios::binary) << (atCommit ? node->writtenBack : node->durable);
        ::chmod(child.c_str(), node->mode & 07777);
    }
}

void losePower() {
    g_powerLost = true;
    writeImage(*g_root, g_image + "/before-commit", false);
    writeImage(*g_root, g_image + "/at-commit", true);
    g_log << "power lost" << std::endl;
}

// Numbers an operation; false once the power is lost.
bool record(const char* operation, const char* path, std::size_t bytes = 0) {
    if (g_powerLost)
        return false;
    ++g_operations;
    if (g_operations == g_cutAt) {
        losePower();
        return false;
    }
    g_log << g_operations << ' ' << operation << ' ' << (path ? path : "(unnamed)");
    if (bytes > 0)
        g_log << ' ' << bytes;
    g_log << std::endl;
    return true;
}

void syncFile(Node& node) {
    node.durable = node.writtenBack = node.data;
}

void syncAll(Node& node) {
    syncFile(node);
    node.durableEntries = node.entries;
    for (const auto& entry : node.entries)
        syncAll(*entry.second);
}

void fill(struct stat* status, const Node& node) {
    status->st_mode = node.mode;
    status->st_nlink = 1;
    status->st_uid = node.uid;
    status->st_gid = node.gid;
    status->st_size = static_cast<off_t>(node.data.size());
    status->st_blksize = 4096;
    status->st_blocks = static_cast<blkcnt_t>((node.data.size() + 511) / 512);
}

NodePointer newNode(mode_t mode) {
    auto node = std::make_shared<Node>();
    node->mode = mode;
    node->folder = S_ISDIR(mode);
    node->uid = fuse_get_context()->uid;
    node->gid = fuse_get_context()->gid;
    return node;
}

int onGetattr(const char* path, struct stat* status, fuse_file_info* info) {
    if (info != nullptr) {
        fill(status, *opened(info));
        return 0;
    }
    const NodePointer node = find(path);
    if (!node)
        return -ENOENT;
    fill(status, *node);
    return 0;
}

int onReaddir(const char*, void* buffer, fuse_fill_dir_t filler, off_t, fuse_file_info* info,
              fuse_readdir_flags) {
    const Node* node = opened(info);
    if (!node->folder)
        return -ENOTDIR;
    filler(buffer, ".", nullptr, 0, FUSE_FILL_DIR_PLUS);
    filler(buffer, "..", nullptr, 0, FUSE_FILL_DIR_PLUS);
    for (const auto& entry : node->entries)
        filler(buffer, entry.first.c_str(), nullptr, 0, FUSE_FILL_DIR_PLUS);
    return 0;
}

int onOpen(const char* path, fuse_file_info* info) {
    const NodePointer node = find(path);
    if (!node)
        return -ENOENT;
    info->fh = reinterpret_cast<std::uint64_t>(node.get());
    return 0;
}

// The node stays alive while open through its folder or the open-files map below.
std::map<Node*, NodePointer> g_openFiles;

int onOpenFile(const char* path, fuse_file_info* info) {
    const int result = onOpen(path, info);
    if (result == 0)
        g_openFiles[opened(info)] = find(path);
    return result;
}

int onRelease(const char*, fuse_file_info* info) {
    g_openFiles.erase(opened(info));
    return 0;
}

int onCreate(const char* path, mode_t mode, fuse_file_info* info) {
    const auto [folderPath, name] = split(path);
    const NodePointer folder = find(folderPath.c_str());
    if (!folder || !folder->folder)
        return -ENOENT;
    if (!record("create", path))
        return -EIO;
    NodePointer& node = folder->entries[name];
    if (!node)
        node = newNode(mode);
    info->fh = reinterpret_cast<std::uint64_t>(node.get());
    g_openFiles[node.get()] = node;
    return 0;
}

int onMkdir(const char* path, mode_t mode) {
    const auto [folderPath, name] = split(path);
    const NodePointer folder = find(folderPath.c_str());
    if (!folder || folder->entries.count(name) != 0)
        return -EEXIST;
    if (!record("mkdir", path))
        return -EIO;
    folder->entries[name] = newNode(mode | S_IFDIR);
    return 0;
}

int onRead(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* info) {
    const std::string& data = opened(info)->data;
    if (static_cast<std::size_t>(offset) >= data.size())
        return 0;
    const std::size_t count = std::min(size, data.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, data.data() + offset, count);
    return static_cast<int>(count);
}

int onWrite(const char* path, const char* buffer, size_t size, off_t offset, fuse_file_info* info) {
    if (!record("write", path, size))
        return -EIO;
    std::string& data = opened(info)->data;
    if (data.size() < static_cast<std::size_t>(offset) + size)
        data.resize(static_cast<std::size_t>(offset) + size);
    data.replace(static_cast<std::size_t>(offset), size, buffer, size);
    return static_cast<int>(size);
}

int onTruncate(const char* path, off_t size, fuse_file_info* info) {
    const NodePointer found = info ? nullptr : find(path);
    Node* node = info ? opened(info) : found.get();
    if (!node)
        return -ENOENT;
    if (!record("truncate", path))
        return -EIO;
    const auto length = static_cast<std::size_t>(size);
    node->data.resize(length);
    // A truncation is metadata: a commit keeps the shorter size.
    if (node->writtenBack.size() > length)
        node->writtenBack.resize(length);
    return 0;
}

int onUnlink(const char* path) {
    const auto [folderPath, name] = split(path);
    const NodePointer folder = find(folderPath.c_str());
    if (!folder || folder->entries.count(name) == 0)
        return -ENOENT;
    if (!record("unlink", path))
        return -EIO;
    folder->entries.erase(name);
    return 0;
}

int onRmdir(const char* path) {
    const NodePointer node = find(path);
    if (!node || !node->folder)
        return -ENOENT;
    if (!node->entries.empty())
        return -ENOTEMPTY;
    return onUnlink(path);
}

int onRename(const char* from, const char* to, unsigned int flags) {
    const auto [fromFolderPath, fromName] = split(from);
    const auto [toFolderPath, toName] = split(to);
    const NodePointer fromFolder = find(fromFolderPath.c_str()),
                      toFolder = find(toFolderPath.c_str());
    if (!fromFolder || !toFolder || fromFolder->entries.count(fromName) == 0)
        return -ENOENT;
    if (flags & ~RENAME_NOREPLACE)
        return -EINVAL;
    if ((flags & RENAME_NOREPLACE) && toFolder->entries.count(toName) != 0)
        return -EEXIST;
    if (!record("rename", to))
        return -EIO;
    const NodePointer node = fromFolder->entries[fromName];
    fromFolder->entries.erase(fromName);
    toFolder->entries[toName] = node;
    return 0;
}

int onLink(const char* from, const char* to) {
    const NodePointer node = find(from);
    const auto [toFolderPath, toName] = split(to);
    const NodePointer toFolder = find(toFolderPath.c_str());
    if (!node || !toFolder)
        return -ENOENT;
    if (toFolder->entries.count(toName) != 0)
        return -EEXIST;
    if (!record("link", to))
        return -EIO;
    toFolder->entries[toName] = node;
    return 0;
}

int onChmod(const char* path, mode_t mode, fuse_file_info* info) {
    const NodePointer found = info ? nullptr : find(path);
    Node* node = info ? opened(info) : found.get();
    if (!node)
        return -ENOENT;
    node->mode = (node->mode & S_IFMT) | (mode & 07777);
    return 0;
}

int onChown(const char* path, uid_t uid, gid_t gid, fuse_file_info* info) {
    const NodePointer found = info ? nullptr : find(path);
    Node* node = info ? opened(info) : found.get();
    if (!node)
        return -ENOENT;
    if (uid != static_cast<uid_t>(-1))
        node->uid = uid;
    if (gid != static_cast<gid_t>(-1))
        node->gid = gid;
    return 0;
}

int onUtimens(const char*, const struct timespec*, fuse_file_info*) {
    return 0;
}

int onFsync(const char* path, int, fuse_file_info* info) {
    if (!record("fsync", path))
        return -EIO;
    syncFile(*opened(info));
    return 0;
}

int onFsyncdir(const char* path, int, fuse_file_info* info) {
    if (!record("fsync-folder", path))
        return -EIO;
    Node& folder = *opened(info);
    folder.durableEntries = folder.entries;
    return 0;
}

// The calls the kernel does not pass on, told by powercut_forward_syncs.
int onSetxattr(const char* path, const char* name, const char* value, size_t size, int) {
    if (std::strcmp(name, "user.powercut") != 0)
        return -ENOTSUP;
    const NodePointer node = find(path);
    if (!node)
        return -ENOENT;
    std::istringstream told(std::string(value, size));
    std::string call;
    told >> call;
    if (!record(call.c_str(), path))
        return -EIO;
    if (call == "syncfs") {
        syncAll(*g_root);
        return 0;
    }
    long long from = 0, count = 0;
    told >> from >> count;
    const std::size_t end =
        count == 0 ? node->data.size() : std::min<std::size_t>(node->data.size(), from + count);
    if (node->writtenBack.size() < end)
        node->writtenBack = node->data.substr(0, end);
    return 0;
}

int onStatfs(const char*, struct statvfs* status) {
    status->f_bsize = status->f_frsize = 4096;
    status->f_blocks = status->f_bfree = status->f_bavail = 1 << 20;
    status->f_files = status->f_ffree = 1 << 20;
    status->f_namemax = 255;
    return 0;
}

void* onInit(fuse_conn_info*, fuse_config* config) {
    // Every lookup reaches the medium, and an open file removed stays without a name.
    config->entry_timeout = config->attr_timeout = config->negative_timeout = 0;
    config->hard_remove = 1;
    config->nullpath_ok = 1;
    config->use_ino = 0;
    return nullptr;
}

void onDestroy(void*) {
    if (!g_powerLost)
        losePower();
}

NodePointer seeded(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return nullptr;
    auto node = std::make_shared<Node>();
    node->mode = status.st_mode;
    node->folder = S_ISDIR(status.st_mode);
    node->uid = status.st_uid;
    node->gid = status.st_gid;
    if (!node->folder) {
        std::ifstream file(path, std::ios::binary);
        node->data.assign(std::istreambuf_iterator<char>(file), {});
        syncFile(*node);
        return node;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(path.c_str()), ::closedir);
    while (const dirent* entry = listing ? ::readdir(listing.get()) : nullptr) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            node->entries[name] = seeded(path + "/" + name);
    }
    node->durableEntries = node->entries;
    return node;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 6) {
        std::fputs("usage: powercut_medium SEED IMAGE LOG CUT_AT MOUNTPOINT\n", stderr);
        return 2;
    }
    g_root = seeded(argv[1]);
    if (!g_root || !g_root->folder) {
        std::fprintf(stderr, "powercut_medium: %s is not a folder\n", argv[1]);
        return 2;
    }
    // The daemon may change its folder.
    ::mkdir(argv[2], 0755);
    char* image = ::realpath(argv[2], nullptr);
    g_image = image ? image : argv[2];
    std::free(image);
    g_log.open(argv[3]);
    g_cutAt = std::atol(argv[4]);

    fuse_operations operations{};
    operations.getattr = onGetattr;
    operations.readdir = onReaddir;
    operations.opendir = onOpen;
    operations.open = onOpenFile;
    operations.release = onRelease;
    operations.create = onCreate;
    operations.mkdir = onMkdir;
    operations.read = onRead;
    operations.write = onWrite;
    operations.truncate = onTruncate;
    operations.unlink = onUnlink;
    operations.rmdir = onRmdir;
    operations.rename = onRename;
    operations.link = onLink;
    operations.chmod = onChmod;
    operations.chown = onChown;
    operations.utimens = onUtimens;
    operations.fsync = onFsync;
    operations.fsyncdir = onFsyncdir;
    operations.setxattr = onSetxattr;
    operations.statfs = onStatfs;
    operations.init = onInit;
    operations.destroy = onDestroy;
    return fuse_folder::serve(argv[0], operations, argv[5], true);
}
