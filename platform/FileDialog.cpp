// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileDialog.h"

#include "platform/DialogCommands.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

// Shell convention for "command not found" and "cannot execute".
bool isExecFailure(int code) {
    return code == 126 || code == 127;
}

// zenity's code for an option it does not know, among other errors.
constexpr int kZenityError = 255;

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Adds ".ext" to a file name that has no extension.
std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    if (extension.empty()) return path;
    auto slash = path.find_last_of('/');
    std::string_view name =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || name.find('.') != std::string_view::npos) return path;
    return path + "." + extension;
}

} // namespace

DialogPrograms DialogPrograms::find(const std::optional<std::string>& searchPath) {
    DialogPrograms programs;
    if (searchPath) {
        programs.zenity = findProgram("zenity", *searchPath);
        programs.kdialog = findProgram("kdialog", *searchPath);
    } else {
        programs.zenity = findProgram("zenity");
        programs.kdialog = findProgram("kdialog");
    }
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    programs.preferKdialog = desktop != nullptr && std::strstr(desktop, "KDE") != nullptr;
    return programs;
}

std::optional<std::pair<DialogProgram, std::string>> DialogPrograms::choose() const {
    if (preferKdialog && !kdialog.empty()) return std::pair{DialogProgram::kdialog, kdialog};
    if (!zenity.empty()) return std::pair{DialogProgram::zenity, zenity};
    if (!kdialog.empty()) return std::pair{DialogProgram::kdialog, kdialog};
    return std::nullopt;
}

ProcessFileDialogs::ProcessFileDialogs(std::optional<std::string> searchPath)
    : searchPath(std::move(searchPath)) {}

bool ProcessFileDialogs::start(const FileDialogRequest& newRequest) {
    if (running()) return false;
    request = newRequest;
    pendingPath.clear();
    phase = Phase::done;
    result = {FileDialogStatus::unavailable, {}};

    auto chosen = DialogPrograms::find(searchPath).choose();
    if (!chosen) return true;
    program = chosen->first;
    programPath = chosen->second;
    attached = request.parentWindow != 0;
    if (spawn(fileDialogArguments(program, request, attached))) phase = Phase::choosing;
    return true;
}

bool ProcessFileDialogs::spawn(const std::vector<std::string>& arguments) {
    return child.start(programPath, arguments, true) == 0;
}

FileDialogResult ProcessFileDialogs::finish(FileDialogStatus status, std::string path) {
    phase = Phase::idle;
    result = {};
    return {status, std::move(path)};
}

FileDialogResult ProcessFileDialogs::poll() {
    switch (phase) {
    case Phase::idle:
        return {};
    case Phase::done:
        return finish(result.status, result.path);
    case Phase::choosing:
    case Phase::confirming:
        if (!child.poll()) return {FileDialogStatus::running, {}};
        return advance();
    }
    return {};
}

FileDialogResult ProcessFileDialogs::advance() {
    const int code = child.exitCode();
    if (phase == Phase::confirming)
        return code == 0 ? finish(FileDialogStatus::chosen, pendingPath)
                         : finish(FileDialogStatus::cancelled);

    std::string path = child.output();
    if (!path.empty() && path.back() == '\n') path.pop_back();
    if (isExecFailure(code)) return finish(FileDialogStatus::unavailable);
    if (code == kZenityError && path.empty() && attached && program == DialogProgram::zenity) {
        // Older zenity refuses --attach: show the dialog without a parent instead.
        attached = false;
        if (spawn(fileDialogArguments(program, request, false)))
            return {FileDialogStatus::running, {}};
        return finish(FileDialogStatus::unavailable);
    }
    // A choice needs a clean exit (or an exit status the host took) and an absolute path.
    bool exitedWell = code == 0 || code == ChildProcess::kUnknownExit;
    if (!exitedWell || child.outputOverflowed() || path.empty() || path[0] != '/' ||
        path.find('\n') != std::string::npos)
        return finish(FileDialogStatus::cancelled);

    if (request.kind == FileDialogKind::save) {
        std::string extended = withDefaultExtension(path, request.defaultExtension);
        // The dialog only confirmed the name it returned; the extended one is asked about.
        if (extended != path && pathExists(extended)) {
            pendingPath = extended;
            phase = Phase::confirming;
            if (spawn(replaceQuestionArguments(program, extended, request.parentWindow, attached)))
                return {FileDialogStatus::running, {}};
            return finish(FileDialogStatus::cancelled);
        }
        path = extended;
    }
    return finish(FileDialogStatus::chosen, path);
}

FileDialogResult ProcessFileDialogs::wait() {
    for (;;) {
        FileDialogResult current = poll();
        if (current.status != FileDialogStatus::running) return current;
        child.wait();
    }
}

void ProcessFileDialogs::abandon() {
    child.terminate();
    phase = Phase::idle;
    result = {};
}
