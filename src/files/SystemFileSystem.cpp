#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "files/FileSystem.h"

namespace {
int Result(long value) { return value < 0 ? -errno : static_cast<int>(value); }

class PosixFileSystem : public FileSystem {
public:
    int Open(const std::string& path, int flags, mode_t mode) override {
        int fd;
        do fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
        while (fd < 0 && errno == EINTR);
        return Result(fd);
    }
    int OpenUnnamed(const std::string& folder, mode_t mode) override {
#ifdef O_TMPFILE
        return Result(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
#else
        (void)folder;
        (void)mode;
        return -EOPNOTSUPP;
#endif
    }
    int LinkUnnamed(int fd, const std::string& path) override {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
        const int error = errno;
        if (error != ENOENT || ::access("/proc/self/fd", F_OK) == 0) return -error;
        // Without /proc: the empty-path form, which needs more privilege.
        return Result(::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH));
    }
    long Write(int fd, const char* data, std::size_t size) override {
        long written;
        do written = ::write(fd, data, size);
        while (written < 0 && errno == EINTR);
        return written < 0 ? -errno : written;
    }
    long Read(int fd, char* data, std::size_t size) override {
        long got;
        do got = ::read(fd, data, size);
        while (got < 0 && errno == EINTR);
        return got < 0 ? -errno : got;
    }
    int Close(int fd) override { return Result(::close(fd)); }
    int Sync(int fd) override { return Result(::fsync(fd)); }
    int SyncFileSystem(int fd) override { return Result(::syncfs(fd)); }
    int Stat(const std::string& path, struct stat& info) override {
        return Result(::stat(path.c_str(), &info));
    }
    int LinkStat(const std::string& path, struct stat& info) override {
        return Result(::lstat(path.c_str(), &info));
    }
    int FileStat(int fd, struct stat& info) override { return Result(::fstat(fd, &info)); }
    int ReadLink(const std::string& path, std::string& target) override {
        std::vector<char> buffer(256);
        for (;;) {
            const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
            if (length < 0) return -errno;
            if (static_cast<std::size_t>(length) < buffer.size()) {
                target.assign(buffer.data(), static_cast<std::size_t>(length));
                return 0;
            }
            if (buffer.size() > (1 << 16)) return -ENAMETOOLONG;
            buffer.resize(buffer.size() * 4);
        }
    }
    int Rename(const std::string& from, const std::string& to, bool replace) override {
        if (replace) return Result(::rename(from.c_str(), to.c_str()));
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
        if (errno != EINVAL && errno != ENOSYS) return -errno;
        // A file system without the flag: a second name first, so nothing is replaced.
        if (::link(from.c_str(), to.c_str()) != 0) return -errno;
        return Result(::unlink(from.c_str()));
    }
    int Unlink(const std::string& path) override { return Result(::unlink(path.c_str())); }
    int ChangeOwner(int fd, uid_t owner, gid_t group) override { return Result(::fchown(fd, owner, group)); }
    int ChangeMode(int fd, mode_t mode) override { return Result(::fchmod(fd, mode)); }
    int SetBlocking(int fd) override {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0) return -errno;
        return Result(::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK));
    }
};
}  // namespace

FileSystem& SystemFileSystem() {
    static PosixFileSystem system;
    return system;
}
