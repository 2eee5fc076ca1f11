#pragma once
// The real file system with a script on top: every call is recorded, chosen
// calls fail with a chosen error, a path can be made to look like a device,
// and unnamed files can be switched off, so saves and reads meet links,
// devices, modes and refusals in a temporary folder.
#include <fcntl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "files/FileSystem.h"

class ScriptedFileSystem : public FileSystem {
public:
    // "open", "unnamed", "link", "write", "read", "close", "sync", "syncfs", "syncdir",
    // "stat", "lstat", "rename", "unlink", "chown", "chmod"; the path when there is one.
    std::vector<std::string> Calls;
    // Fails every call of the operation (whose path holds the text, if given) with -errno.
    void FailOn(const std::string& operation, int error, const std::string& pathPart = "") {
        failures.push_back({operation, pathPart, error});
    }
    // Stat reports this file type (S_IFCHR ...) for the path.
    std::map<std::string, mode_t> FakeKind;
    bool NoUnnamed = false;
    int Count(const std::string& operation) const {
        int n = 0;
        for (const auto& call : Calls) n += call == operation || call.starts_with(operation + " ");
        return n;
    }
    // Index of the first call naming the operation, or -1.
    int First(const std::string& operation) const {
        for (std::size_t i = 0; i < Calls.size(); ++i)
            if (Calls[i] == operation || Calls[i].starts_with(operation + " ")) return static_cast<int>(i);
        return -1;
    }

    int Open(const std::string& path, int flags, mode_t mode) override {
        if (const int r = Scripted("open", path)) return r;
        const int fd = real.Open(path, flags, mode);
        if (fd >= 0 && (flags & O_DIRECTORY)) folders.insert(fd);
        return fd;
    }
    int OpenUnnamed(const std::string& folder, mode_t mode) override {
        if (NoUnnamed) {
            Calls.push_back("unnamed " + folder);
            return -EOPNOTSUPP;
        }
        if (const int r = Scripted("unnamed", folder)) return r;
        return real.OpenUnnamed(folder, mode);
    }
    int LinkUnnamed(int fd, const std::string& path) override {
        if (const int r = Scripted("link", path)) return r;
        return real.LinkUnnamed(fd, path);
    }
    long Write(int fd, const char* data, std::size_t size) override {
        if (const int r = Scripted("write", "")) return r;
        return real.Write(fd, data, size);
    }
    long Read(int fd, char* data, std::size_t size) override {
        if (const int r = Scripted("read", "")) return r;
        return real.Read(fd, data, size);
    }
    int Close(int fd) override {
        folders.erase(fd);
        Calls.push_back("close");
        return real.Close(fd);
    }
    int Sync(int fd) override {
        const bool folder = folders.contains(fd);
        if (const int r = Scripted(folder ? "syncdir" : "sync", "")) return r;
        return real.Sync(fd);
    }
    int SyncFileSystem(int fd) override {
        if (const int r = Scripted("syncfs", "")) return r;
        return real.SyncFileSystem(fd);
    }
    int Stat(const std::string& path, struct stat& info) override {
        if (const int r = Scripted("stat", path)) return r;
        const int r = real.Stat(path, info);
        if (const auto fake = FakeKind.find(path); r == 0 && fake != FakeKind.end())
            info.st_mode = (info.st_mode & ~S_IFMT) | fake->second;
        return r;
    }
    int LinkStat(const std::string& path, struct stat& info) override {
        if (const int r = Scripted("lstat", path)) return r;
        return real.LinkStat(path, info);
    }
    int FileStat(int fd, struct stat& info) override { return real.FileStat(fd, info); }
    int ReadLink(const std::string& path, std::string& target) override {
        return real.ReadLink(path, target);
    }
    int Rename(const std::string& from, const std::string& to, bool replace) override {
        if (const int r = Scripted("rename", to)) return r;
        return real.Rename(from, to, replace);
    }
    int Unlink(const std::string& path) override {
        if (const int r = Scripted("unlink", path)) return r;
        return real.Unlink(path);
    }
    int ChangeOwner(int fd, uid_t owner, gid_t group) override {
        if (const int r = Scripted("chown", std::to_string(owner) + ":" + std::to_string(group))) return r;
        return real.ChangeOwner(fd, owner, group);
    }
    int ChangeMode(int fd, mode_t mode) override {
        if (const int r = Scripted("chmod", std::to_string(mode))) return r;
        return real.ChangeMode(fd, mode);
    }
    int SetBlocking(int fd) override { return real.SetBlocking(fd); }

private:
    struct Failure {
        std::string operation, pathPart;
        int error;
    };
    int Scripted(const std::string& operation, const std::string& path) {
        Calls.push_back(path.empty() ? operation : operation + " " + path);
        for (const auto& f : failures)
            if (f.operation == operation && path.find(f.pathPart) != std::string::npos) return -f.error;
        return 0;
    }
    FileSystem& real = SystemFileSystem();
    std::vector<Failure> failures;
    std::set<int> folders;
};
