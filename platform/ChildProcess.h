// SPDX-License-Identifier: GPL-3.0-or-later
// A helper program run as a child process without ever blocking the caller: started with
// posix_spawn (no fork of a host with real-time threads), its output read through a
// non-blocking pipe, its end found with a non-blocking waitpid.
//
// The child gets the parent's environment less the variables through which hosts point at
// the libraries they bundle (LD_LIBRARY_PATH, LD_PRELOAD, GTK and Qt module paths, ...): a
// system program must load the system's libraries. The parent's environment is not changed.
// The child's stdin and stderr are /dev/null, no other descriptor of the host is inherited,
// and its signal mask and handlers are reset to the defaults.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The full path of an executable file called name in one of the folders of searchPath
// (colon-separated; an empty entry is the current folder); empty when there is none.
std::string findProgram(std::string_view name, std::string_view searchPath);
// The same, searching $PATH.
std::string findProgram(std::string_view name);

// The parent's environment (as in environ) without the host-bundled library variables.
std::vector<std::string> childEnvironment(char* const* parentEnvironment);

class ChildProcess {
public:
    // Exit code when the child was killed by a signal, or when its status was taken by
    // someone else (a host that ignores SIGCHLD or reaps every child itself).
    static constexpr int kUnknownExit = -1;

    ChildProcess() = default;
    // A child still running is asked to end (SIGTERM, then SIGKILL) and reaped.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program (a full path) with arguments (argv[0] is the program's file name) and,
    // when captureOutput is set, a pipe on its stdout. Returns 0, or the errno value of a
    // failed start (ENOENT, EACCES, ... also when the program could not be executed).
    int start(const std::string& program, const std::vector<std::string>& arguments,
              bool captureOutput);

    // Non-blocking: drains the output pipe and checks whether the child has ended.
    // Returns true once it has (and from then on).
    bool poll();
    // Blocks until the child has ended.
    void wait();
    // Ends a running child: SIGTERM, a short grace time, then SIGKILL; reaps it.
    void terminate();

    bool running() const { return pid > 0 && !ended; }
    bool finished() const { return ended; }
    int exitCode() const { return code; }
    // What the child wrote to stdout, up to 64 KiB; the rest is read and dropped.
    const std::string& output() const { return captured; }
    bool outputOverflowed() const { return overflowed; }

private:
    void drain();
    void closePipe();

    pid_t pid = -1;
    int pipeFd = -1;
    bool ended = false;
    int code = kUnknownExit;
    std::string captured;
    bool overflowed = false;
};
