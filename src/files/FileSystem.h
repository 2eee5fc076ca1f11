#pragma once
// The file-system calls that reading and saving are made of, behind a port so
// that tests can show a save links, devices, modes and refusals in a temporary
// folder. Every call returns its result (a descriptor, a count, 0) or -errno.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual int Open(const std::string& path, int flags, mode_t mode) = 0;
    // A file with no name yet in folder (O_TMPFILE); -EOPNOTSUPP and the like
    // where the file system has none.
    virtual int OpenUnnamed(const std::string& folder, mode_t mode) = 0;
    // Gives an unnamed file its name; -EEXIST when the name is taken.
    virtual int LinkUnnamed(int fd, const std::string& path) = 0;
    virtual long Write(int fd, const char* data, std::size_t size) = 0;
    virtual long Read(int fd, char* data, std::size_t size) = 0;
    virtual int Close(int fd) = 0;
    // The file's bytes to the disk (fsync), and everything of the file system holding fd (syncfs).
    virtual int Sync(int fd) = 0;
    virtual int SyncFileSystem(int fd) = 0;
    virtual int Stat(const std::string& path, struct stat& info) = 0;      // follows links
    virtual int LinkStat(const std::string& path, struct stat& info) = 0;  // the link itself
    virtual int FileStat(int fd, struct stat& info) = 0;
    virtual int ReadLink(const std::string& path, std::string& target) = 0;
    // replace false: -EEXIST rather than replacing an existing target.
    virtual int Rename(const std::string& from, const std::string& to, bool replace) = 0;
    virtual int Unlink(const std::string& path) = 0;
    virtual int ChangeOwner(int fd, uid_t owner, gid_t group) = 0;
    virtual int ChangeMode(int fd, mode_t mode) = 0;
    // Clears O_NONBLOCK once a file that might have waited is open.
    virtual int SetBlocking(int fd) = 0;
};

// The real calls.
FileSystem& SystemFileSystem();
