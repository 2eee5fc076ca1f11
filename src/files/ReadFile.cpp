#include "files/ReadFile.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace {
std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return std::strerror(EISDIR);
    if (S_ISFIFO(mode)) return "It is a pipe, not a file.";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "It is a device, not a file.";
    if (S_ISSOCK(mode)) return "It is a socket, not a file.";
    return "It is not a regular file.";
}

FileRead Failed(const FilePath& path, const std::string& what, std::string reason, bool missing = false) {
    FileRead result;
    result.Missing = missing;
    result.Reason = std::move(reason);
    result.Error = what + " \"" + ShownPath(path) + "\".\r" + result.Reason;
    return result;
}

FileRead OpenFailure(const FilePath& path, int code) {
    return Failed(path, "Cannot open file", std::strerror(code), code == ENOENT);
}

// Opens path for reading when it is a regular file; -1 with the failure otherwise.
int OpenRegular(const FilePath& path, FileSystem& system, FileRead& failure) {
    struct stat info {};
    // Looked at before opening, so that no device is opened at all.
    if (const int r = system.Stat(path.Native(), info); r < 0) {
        failure = OpenFailure(path, -r);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        failure = Failed(path, "Cannot open file", KindOf(info.st_mode));
        return -1;
    }
    const int fd = system.Open(path.Native(), O_RDONLY | O_NONBLOCK | O_NOCTTY, 0);
    if (fd < 0) {
        failure = OpenFailure(path, -fd);
        return -1;
    }
    // The name may have been swapped for something else since it was looked at.
    if (system.FileStat(fd, info) < 0 || !S_ISREG(info.st_mode) || system.SetBlocking(fd) < 0) {
        failure = Failed(path, "Cannot open file", KindOf(info.st_mode));
        system.Close(fd);
        return -1;
    }
    return fd;
}

FileRead TooLong(const FilePath& path, int lineCount, std::size_t maxBytes) {
    return Failed(path, "Cannot open file",
                  "Its first " + std::to_string(lineCount) + " lines are longer than " +
                      std::to_string(maxBytes) + " bytes; it is not a data file.");
}

// Reads chunks until stop says so or the file ends.
template <typename Chunk>
FileRead ReadChunks(const FilePath& path, FileSystem& system, Chunk&& chunk) {
    FileRead result;
    const int fd = OpenRegular(path, system, result);
    if (fd < 0) return result;
    char buffer[65536];
    for (;;) {
        const long got = system.Read(fd, buffer, sizeof buffer);
        if (got < 0) {
            result = Failed(path, "Cannot read file", std::strerror(static_cast<int>(-got)));
            break;
        }
        if (got == 0 || !chunk(buffer, static_cast<std::size_t>(got), result)) {
            if (result.Error.empty()) result.Ok = true;
            break;
        }
    }
    system.Close(fd);
    return result;
}
}  // namespace

FileRead ReadRegularFile(const FilePath& path, std::size_t maxBytes, std::string& bytes, FileSystem& system) {
    bytes.clear();
    return ReadChunks(path, system, [&](const char* data, std::size_t size, FileRead& result) {
        if (bytes.size() + size > maxBytes) {
            result = Failed(path, "Cannot open file",
                            "It is larger than " + std::to_string(maxBytes) +
                                " bytes; it is not a file of this program.");
            return false;
        }
        bytes.append(data, size);
        return true;
    });
}

bool ReadWholeFile(const FilePath& path, std::string& bytes, std::string& error) {
    const FileRead read = ReadRegularFile(path, std::numeric_limits<std::size_t>::max(), bytes);
    error = read.Error;
    return read.Ok;
}

bool ReadLeadingLines(const FilePath& path, int lineCount, std::size_t maxBytes, std::string& bytes,
                      std::string& error, FileSystem& system) {
    bytes.clear();
    int lines = 0;
    bool afterCr = false;
    const FileRead read = ReadChunks(path, system, [&](const char* data, std::size_t size, FileRead& result) {
        std::size_t keep = size;
        for (std::size_t i = 0; i < size && lines < lineCount; ++i) {
            const char c = data[i];
            const bool crLfTail = c == '\n' && afterCr;
            afterCr = c == '\r';
            if (crLfTail || (c != '\r' && c != '\n')) continue;
            if (++lines == lineCount) keep = i + 1;
        }
        bytes.append(data, keep);
        if (bytes.size() > maxBytes) {
            result = TooLong(path, lineCount, maxBytes);
            return false;
        }
        return lines < lineCount;
    });
    error = read.Error;
    return read.Ok;
}
