#include "files/SaveBatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "files/TemporaryFiles.h"

namespace {
// More staged files than this are committed early, so a batch of any size
// never holds more descriptors or registered names than that.
constexpr std::size_t kMaxStaged = 128;
constexpr int kMaxLinkHops = 40;  // as the kernel allows

std::string Message(const std::string& what, const FilePath& path, int code) {
    return what + " \"" + ShownPath(path) + "\".\r" + std::strerror(code);
}

bool WriteAll(FileSystem& system, int fd, std::string_view bytes, int& code) {
    while (!bytes.empty()) {
        const long written = system.Write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            code = static_cast<int>(-written);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Follows a chain of symbolic links to the name that is finally written: the
// link stays a link. The last name may not exist yet (a dangling link).
int FollowLinks(FileSystem& system, const FilePath& path, FilePath& target) {
    target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        const int r = system.LinkStat(target.Native(), info);
        if (r == -ENOENT) return 0;
        if (r < 0) return r;
        if (!S_ISLNK(info.st_mode)) return 0;
        std::string next;
        if (const int read = system.ReadLink(target.Native(), next); read < 0) return read;
        target = next.starts_with('/') ? FilePath(next) : target.Folder() / next;
    }
    return -ELOOP;
}

// A name for the moment between linking the new file and renaming it: hidden,
// beside the target, unique to this process.
std::string TemporaryNameFor(const FilePath& target) {
    static std::atomic<unsigned> counter{0};
    std::string name = target.Name().substr(0, 200);
    return (target.Folder() /
            ("." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter)))
        .Native();
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

struct SaveBatch::Entry {
    FileSystem& system;
    FilePath path;    // as the caller named it, for messages
    FilePath target;  // the file finally replaced (links followed)
    bool existed = false;
    int fd = -1;
    bool unnamed = false;
    std::string temporary;  // the named temporary file, when there is no unnamed one
    std::unique_ptr<TemporaryName> registered;

    explicit Entry(FileSystem& system) : system(system) {}
    ~Entry() { Drop(); }
    void Close() {
        if (fd >= 0) system.Close(fd);
        fd = -1;
    }
    // Forgets the new file: the target stays as it was.
    void Drop() {
        Close();
        if (!temporary.empty()) system.Unlink(temporary);
        temporary.clear();
        registered.reset();
    }
};

bool SaveFile(const FilePath& path, std::string_view bytes, std::string& error, FileSystem& system) {
    SaveBatch batch(system, true);
    if (!batch.Save(path, bytes, error)) return false;
    const auto failures = batch.Commit();
    if (failures.empty()) return true;
    error = failures.front().Error;
    return false;
}

FileStore& DiskFileStore() {
    struct Disk : FileStore {
        bool Save(const FilePath& path, std::string_view bytes, std::string& error) override {
            return SaveFile(path, bytes, error);
        }
    };
    static Disk disk;
    return disk;
}

SaveBatch::SaveBatch(FileSystem& system) : SaveBatch(system, false) {}
SaveBatch::SaveBatch(FileSystem& system, bool syncEach) : system(system), syncEach(syncEach) {}
SaveBatch::~SaveBatch() = default;

bool SaveBatch::Save(const FilePath& path, std::string_view bytes, std::string& error) {
    int code = 0;
    struct stat info {};
    const int found = system.Stat(path.Native(), info);
    if (found < 0 && found != -ENOENT) {
        error = Message("Cannot write file", path, -found);
        return false;
    }
    if (found == 0 && S_ISDIR(info.st_mode)) {
        error = Message("Cannot write file", path, EISDIR);
        return false;
    }
    if (found == 0 && !S_ISREG(info.st_mode)) {
        // A device or a pipe: written as it is. Opening does not wait for a
        // reader, so a pipe nobody reads is refused instead of hanging.
        const int fd = system.Open(path.Native(), O_WRONLY | O_NONBLOCK | O_NOCTTY, 0);
        if (fd < 0) {
            error = Message("Cannot write file", path, -fd);
            return false;
        }
        bool ok = system.SetBlocking(fd) == 0 && WriteAll(system, fd, bytes, code);
        if (const int r = system.Close(fd); r < 0 && ok) {
            ok = false;
            code = -r;
        }
        if (!ok) error = Message("Cannot write file", path, code ? code : EIO);
        return ok;
    }

    auto entry = std::make_unique<Entry>(system);
    entry->path = path;
    entry->existed = found == 0;
    if (const int r = FollowLinks(system, path, entry->target); r < 0) {
        error = Message("Cannot write file", path, -r);
        return false;
    }
    const FilePath folder = entry->target.Folder();
    if (entry->existed) {
        // The folder would let us replace it, but the file itself says no.
        const int probe = system.Open(entry->target.Native(), O_WRONLY | O_NONBLOCK | O_NOCTTY, 0);
        if (probe < 0) {
            error = Message("Cannot write file", path, -probe);
            return false;
        }
        system.Close(probe);
    }

    entry->fd = system.OpenUnnamed(folder.Native(), 0666);
    entry->unnamed = entry->fd >= 0;
    if (!entry->unnamed) {
        const int reason = -entry->fd;
        // Only a file system without unnamed files is worth a second try.
        if (reason != EOPNOTSUPP && reason != EISDIR && reason != EINVAL) {
            error = Message("Cannot create file", path, reason);
            return false;
        }
        for (int attempt = 0; attempt < 100 && entry->fd < 0; ++attempt) {
            const std::string name = TemporaryNameFor(entry->target);
            // Registered first, so a signal in between still finds it.
            entry->registered = std::make_unique<TemporaryName>(name);
            entry->fd = system.Open(name, O_WRONLY | O_CREAT | O_EXCL, 0600);
            if (entry->fd >= 0) entry->temporary = name;
            if (entry->fd != -EEXIST) break;
        }
        if (entry->fd < 0) {
            error = Message("Cannot create file", path, -entry->fd);
            entry->fd = -1;
            return false;
        }
    }

    mode_t mode = entry->unnamed ? 0 : NewFileMode();
    if (entry->existed) {
        bool ownerKept = info.st_uid == ::geteuid() && info.st_gid == ::getegid();
        if (!ownerKept) ownerKept = system.ChangeOwner(entry->fd, info.st_uid, info.st_gid) == 0;
        if (!ownerKept) system.ChangeOwner(entry->fd, static_cast<uid_t>(-1), info.st_gid);
        // Set-id bits only go with the owner they were meant for.
        mode = info.st_mode & (ownerKept ? 07777 : 0777);
    }
    if (mode != 0) {
        if (const int r = system.ChangeMode(entry->fd, mode); r < 0) code = -r;
    }
    bool ok = code == 0 && WriteAll(system, entry->fd, bytes, code);
    if (ok && syncEach) {
        if (const int r = system.Sync(entry->fd); r < 0) {
            ok = false;
            code = -r;
        }
    }
    if (ok && !entry->unnamed) {
        const int r = system.Close(entry->fd);
        entry->fd = -1;
        if (r < 0) {
            ok = false;
            code = -r;
        }
    }
    if (!ok) {
        error = Message("Cannot write file", path, code ? code : EIO);
        return false;
    }
    entries.push_back(std::move(entry));
    if (entries.size() >= kMaxStaged) CommitEntries();
    return true;
}

std::vector<SaveBatch::Failure> SaveBatch::Commit() {
    CommitEntries();
    return std::move(failures);
}

void SaveBatch::CommitEntries() {
    if (entries.empty()) return;
    if (!syncEach) {
        // One flush per file system; a named file is synced through its folder's.
        std::set<dev_t> flushed;
        for (auto& entry : entries) {
            struct stat info {};
            const int fd = entry->fd >= 0
                               ? entry->fd
                               : system.Open(entry->target.Folder().Native(), O_RDONLY | O_DIRECTORY, 0);
            const bool own = entry->fd < 0;
            int r = fd < 0 ? fd : system.FileStat(fd, info);
            if (r == 0 && flushed.insert(info.st_dev).second) r = system.SyncFileSystem(fd);
            if (own && fd >= 0) system.Close(fd);
            if (r < 0) {
                failures.push_back({entry->path, Message("Cannot write file", entry->path, -r)});
                entry.reset();
            }
        }
    }
    std::map<std::string, std::vector<FilePath>> folders;  // and the saves that went into each
    for (auto& entry : entries) {
        if (!entry) continue;
        int r = 0;
        if (entry->unnamed && !entry->existed) {
            r = system.LinkUnnamed(entry->fd, entry->target.Native());
            if (r == 0) entry->Close();
        }
        if (entry->unnamed && (entry->existed || r == -EEXIST)) {
            // A new file cannot be linked over an old one: it gets a name beside it first.
            for (int attempt = 0; attempt < 100; ++attempt) {
                entry->temporary = TemporaryNameFor(entry->target);
                entry->registered = std::make_unique<TemporaryName>(entry->temporary);
                r = system.LinkUnnamed(entry->fd, entry->temporary);
                if (r != -EEXIST) break;
            }
            if (r < 0) entry->temporary.clear();
            entry->Close();
        }
        if (r == 0 && !entry->temporary.empty()) {
            r = system.Rename(entry->temporary, entry->target.Native(), true);
            if (r == 0) entry->temporary.clear();
        }
        if (r < 0) {
            failures.push_back({entry->path, Message("Cannot write file", entry->path, -r)});
        } else {
            folders[entry->target.Folder().Native()].push_back(entry->path);
        }
        entry.reset();  // drops a temporary name still left after a failure
    }
    entries.clear();
    // The renames themselves reach the disk with their folder.
    for (const auto& [folder, saved] : folders) {
        const int fd = system.Open(folder, O_RDONLY | O_DIRECTORY, 0);
        if (fd < 0) continue;
        const int r = system.Sync(fd);
        system.Close(fd);
        if (r < 0 && r != -EINVAL)
            for (const auto& path : saved)
                failures.push_back(
                    {path, Message("The file was saved, but this folder could not be flushed to disk:",
                                   FilePath(folder), -r)});
    }
}
