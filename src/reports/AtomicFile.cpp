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

std::string TooLong(const std::string& path, int lineCount, std::size_t maxBytes) {
    return "Cannot open file \"" + path + "\".\rIts first " + std::to_string(lineCount) +
           " lines are longer than " + std::to_string(maxBytes) + " bytes; it is not a data file.";
}

bool OpenForReading(const std::string& path, std::ifstream& in, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = SystemMessage("Cannot open file", path, EISDIR);
        return false;
    }
    errno = 0;
    in.open(path, std::ios::binary);
    if (!in) {
        error = SystemMessage("Cannot open file", path, errno ? errno : ENOENT);
        return false;
    }
    return true;
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
    std::ifstream in;
    if (!OpenForReading(path, in, error)) return false;
    std::ostringstream content;
    content << in.rdbuf();
    bytes = std::move(content).str();
    if (in.bad()) {
        error = SystemMessage("Cannot read file", path, errno ? errno : EIO);
        return false;
    }
    return true;
}

bool ReadLeadingLines(const std::string& path, int lineCount, std::size_t maxBytes, std::string& bytes,
                      std::string& error) {
    std::ifstream in;
    if (!OpenForReading(path, in, error)) return false;
    bytes.clear();
    int lines = 0;
    bool afterCr = false;
    char chunk[65536];
    while (in) {
        in.read(chunk, sizeof chunk);
        const auto got = static_cast<std::size_t>(in.gcount());
        for (std::size_t i = 0; i < got; ++i) {
            const char c = chunk[i];
            const bool crLfTail = c == '\n' && afterCr;
            afterCr = c == '\r';
            if (crLfTail || (c != '\r' && c != '\n')) continue;
            if (++lines == lineCount) {
                bytes.append(chunk, i + 1);
                break;
            }
        }
        if (lines < lineCount) bytes.append(chunk, got);
        if (bytes.size() > maxBytes) {
            error = TooLong(path, lineCount, maxBytes);
            return false;
        }
        if (lines == lineCount) return true;
    }
    if (in.bad()) {
        error = SystemMessage("Cannot read file", path, errno ? errno : EIO);
        return false;
    }
    return true;
}
