#include "reports/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {
std::string SystemMessage(const std::string& what, const std::string& path, int code) {
    return what + " \"" + path + "\".\r" + std::strerror(code);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}
}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    std::string temp = (folder / name).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = SystemMessage("Cannot create file", path, errno);
        return false;
    }
    // No fsync: the rename already guarantees old-or-new on failure, and a
    // class batch of hundreds of files would wait on the disk for each one.
    bool ok = WriteAll(fd, bytes);
    int code = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    // mkstemp makes the file private; a saved file gets the usual permissions.
    if (ok) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temp.c_str(), 0666 & ~mask);
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = SystemMessage("Cannot write file", path, code);
    }
    return ok;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = SystemMessage("Cannot open file", path, EISDIR);
        return false;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = SystemMessage("Cannot open file", path, errno ? errno : ENOENT);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    bytes = std::move(content).str();
    if (in.bad()) {
        error = SystemMessage("Cannot read file", path, errno ? errno : EIO);
        return false;
    }
    return true;
}
