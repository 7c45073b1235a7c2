// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxOutputBytes = 64 * 1024;

// Set by hosts that ship their own libraries and toolkits; a system dialog program started
// with them loads the wrong libraries or modules and fails.
constexpr std::string_view kHostOnlyVariables[] = {
    "LD_LIBRARY_PATH",
    "LD_PRELOAD",
    "LD_AUDIT",
    "GTK_PATH",
    "GTK_IM_MODULE_FILE",
    "GTK_EXE_PREFIX",
    "GTK_DATA_PREFIX",
    "GDK_PIXBUF_MODULE_FILE",
    "GDK_PIXBUF_MODULEDIR",
    "GIO_MODULE_DIR",
    "GSETTINGS_SCHEMA_DIR",
    "QT_PLUGIN_PATH",
    "QT_QPA_PLATFORM_PLUGIN_PATH",
    "QML2_IMPORT_PATH",
    "PYTHONHOME",
};

bool isHostOnly(std::string_view entry) {
    auto equals = entry.find('=');
    std::string_view name = entry.substr(0, equals);
    for (auto variable : kHostOnlyVariables)
        if (name == variable) return true;
    return false;
}

void sleepMs(long ms) {
    timespec delay{0, ms * 1000000L};
    while (::nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

} // namespace

std::string findProgram(std::string_view name, std::string_view searchPath) {
    if (name.empty() || name.find('/') != std::string_view::npos) return {};
    while (true) {
        auto colon = searchPath.find(':');
        std::string folder(searchPath.substr(0, colon));
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/";
        candidate += name;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos) return {};
        searchPath.remove_prefix(colon + 1);
    }
}

std::string findProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    return findProgram(name, path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
}

std::vector<std::string> childEnvironment(char* const* parentEnvironment) {
    std::vector<std::string> environment;
    for (char* const* entry = parentEnvironment; entry != nullptr && *entry != nullptr; ++entry)
        if (!isHostOnly(*entry)) environment.emplace_back(*entry);
    return environment;
}

ChildProcess::~ChildProcess() {
    if (running()) terminate();
    closePipe();
}

int ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                        bool captureOutput) {
    if (running()) terminate();
    closePipe();
    pid = -1;
    ended = false;
    code = kUnknownExit;
    captured.clear();
    overflowed = false;

    int fds[2] = {-1, -1};
    if (captureOutput) {
        if (::pipe2(fds, O_CLOEXEC) != 0) return errno;
        // Only our end is non-blocking: the child writes to a normal pipe.
        ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (captureOutput)
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    sigdelset(&defaults, SIGKILL);
    sigdelset(&defaults, SIGSTOP);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> environment = childEnvironment(environ);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t child = -1;
    int error =
        ::posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (captureOutput) ::close(fds[1]);
    if (error != 0) {
        if (captureOutput) ::close(fds[0]);
        return error;
    }
    pid = child;
    pipeFd = captureOutput ? fds[0] : -1;
    return 0;
}

void ChildProcess::drain() {
    if (pipeFd < 0) return;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(pipeFd, buffer, sizeof buffer);
        if (n > 0) {
            std::size_t room = kMaxOutputBytes - captured.size();
            std::size_t take = std::min(static_cast<std::size_t>(n), room);
            captured.append(buffer, take);
            overflowed |= take < static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) closePipe(); // every writer has gone
        return;                  // EAGAIN: nothing more for now
    }
}

void ChildProcess::closePipe() {
    if (pipeFd >= 0) ::close(pipeFd);
    pipeFd = -1;
}

bool ChildProcess::poll() {
    if (pid <= 0) return false;
    if (ended) return true;
    drain();
    int status = 0;
    pid_t result = ::waitpid(pid, &status, WNOHANG);
    if (result == 0) return false;
    if (result < 0 && errno == EINTR) return false;
    if (result == pid && WIFEXITED(status)) code = WEXITSTATUS(status);
    // Otherwise killed by a signal, or ECHILD: the host took the status; the code stays
    // unknown and the output tells what happened.
    ended = true;
    drain(); // what the child wrote just before it ended
    closePipe();
    return true;
}

void ChildProcess::wait() {
    while (!poll()) {
        if (pid <= 0) return;
        if (pipeFd >= 0) {
            pollfd entry{pipeFd, POLLIN, 0};
            ::poll(&entry, 1, 20);
        } else {
            sleepMs(5);
        }
    }
}

void ChildProcess::terminate() {
    if (!running()) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 20 && !poll(); ++i) sleepMs(5);
    if (!ended) {
        ::kill(pid, SIGKILL);
        wait();
    }
}
