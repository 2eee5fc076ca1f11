#include "help/XdgAssociations.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {
constexpr std::size_t kMaxReply = 4096;
constexpr std::size_t kMaxEntryBytes = 256 * 1024;
constexpr int kQueryTimeoutMs = 5000;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A desktop file ID is a bare file name: nothing in the reply may lead out of applications/.
bool IsDesktopId(const std::string& id) {
    return id.size() > 8 && id.ends_with(".desktop") && id.front() != '.' &&
           id.find('/') == std::string::npos && id.find('\0') == std::string::npos;
}

// Runs argv without a shell; its standard output, at most kMaxReply bytes.
bool RunForOutput(const std::vector<std::string>& argv, std::string& output, std::string& problem) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        problem = std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        problem = argv[0] + ": " + std::strerror(spawned);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kQueryTimeoutMs);
    bool timedOut = false;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        pollfd ready{pipeEnds[0], POLLIN, 0};
        if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) == 0) {
            timedOut = true;
            break;
        }
        char chunk[512];
        const ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (output.size() < kMaxReply)
            output.append(chunk, std::min<std::size_t>(got, kMaxReply - output.size()));
    }
    close(pipeEnds[0]);
    if (timedOut) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) {
        problem = argv[0] + " gave no answer within " + std::to_string(kQueryTimeoutMs / 1000) + " s";
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        problem = argv[0] + " failed";
        return false;
    }
    return true;
}

bool ReadSmallFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.resize(kMaxEntryBytes);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return true;
}
}  // namespace

XdgAssociations::XdgAssociations(std::string queryProgram, std::vector<std::string> dataDirs)
    : queryProgram_(std::move(queryProgram)), dataDirs_(std::move(dataDirs)) {}

XdgAssociations XdgAssociations::ForThisDesktop() {
    std::vector<std::string> dirs;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome && *dataHome)
        dirs.emplace_back(dataHome);
    else if (home && *home)
        dirs.push_back(std::string(home) + "/.local/share");
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::istringstream list(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(list, dir, ':');)
        if (!dir.empty()) dirs.push_back(dir);
    return XdgAssociations("xdg-mime", std::move(dirs));
}

std::string XdgAssociations::DefaultOpenCommand(const std::string& mimeType, std::string& problem) const {
    problem.clear();
    const std::string id = QueryDefault(mimeType, problem);
    if (id.empty()) return {};
    const std::string path = FindEntry(id);
    std::string entry;
    if (path.empty() || !ReadSmallFile(path, entry)) {
        problem = "the desktop entry " + id + " for " + mimeType + " was not found";
        return {};
    }
    const std::string exec = DesktopEntryExec(entry);
    if (exec.empty()) problem = "the desktop entry " + path + " has no Exec line";
    return exec;
}

std::string XdgAssociations::QueryDefault(const std::string& mimeType, std::string& problem) const {
    std::string reply;
    if (!RunForOutput({queryProgram_, "query", "default", mimeType}, reply, problem)) return {};
    // One ID is the answer; some versions list several, separated by ";".
    std::string id = Trim(reply.substr(0, reply.find_first_of(";\n")));
    if (id.empty()) return {};
    if (!IsDesktopId(id)) {
        problem = queryProgram_ + " answered no desktop entry for " + mimeType;
        return {};
    }
    return id;
}

std::string XdgAssociations::FindEntry(const std::string& desktopId) const {
    // The ID "vendor-app.desktop" may stand for applications/vendor/app.desktop.
    std::vector<std::string> names{desktopId};
    for (std::size_t dash = desktopId.find('-'); dash != std::string::npos;
         dash = desktopId.find('-', dash + 1))
        names.push_back(desktopId.substr(0, dash) + "/" + desktopId.substr(dash + 1));
    for (const auto& dir : dataDirs_)
        for (const auto& name : names) {
            const std::string path = dir + "/applications/" + name;
            if (access(path.c_str(), R_OK) == 0) return path;
        }
    return {};
}

std::string DesktopEntryExec(const std::string& entryText) {
    std::istringstream lines(entryText);
    bool inMainGroup = false;
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        const auto equals = line.find('=');
        if (equals != std::string::npos && Trim(line.substr(0, equals)) == "Exec")
            return Trim(line.substr(equals + 1));
    }
    return {};
}
