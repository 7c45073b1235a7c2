// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DialogCommands.h"

namespace {

// Windows-style patterns ("*.*", "*.dlb;*.DLB") as a space-separated list; "*.*" matches
// every file there, so it becomes "*".
std::string patternList(std::string_view pattern) {
    std::string out;
    while (!pattern.empty()) {
        auto split = pattern.find(';');
        std::string_view one = pattern.substr(0, split);
        pattern = split == std::string_view::npos ? std::string_view{} : pattern.substr(split + 1);
        if (one.empty()) continue;
        if (!out.empty()) out += ' ';
        out += one == "*.*" ? std::string_view("*") : one;
    }
    return out.empty() ? "*" : out;
}

// The selected filter first: both programs start with the first one.
std::vector<const FileFilter*> filtersInOrder(const FileDialogRequest& request) {
    std::vector<const FileFilter*> order;
    if (request.selectedFilter < request.filters.size())
        order.push_back(&request.filters[request.selectedFilter]);
    for (std::size_t i = 0; i < request.filters.size(); ++i)
        if (i != request.selectedFilter) order.push_back(&request.filters[i]);
    return order;
}

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string escapeMarkup(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

std::string dialogStartPath(const FileDialogRequest& request) {
    std::string path = request.directory;
    if (!path.empty() && !request.fileName.empty() && path.back() != '/') path += '/';
    return path + request.fileName;
}

std::vector<std::string> fileDialogArguments(DialogProgram program,
                                             const FileDialogRequest& request, bool withParent) {
    const bool save = request.kind == FileDialogKind::save;
    std::string start = dialogStartPath(request);
    std::vector<std::string> args;
    if (program == DialogProgram::zenity) {
        args = {"zenity", "--file-selection", "--title=" + request.title};
        if (save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        if (!start.empty()) {
            // A folder alone needs its trailing slash, or zenity takes it as a file name.
            if (request.fileName.empty() && start.back() != '/') start += '/';
            args.push_back("--filename=" + start);
        }
        for (const FileFilter* filter : filtersInOrder(request))
            args.push_back("--file-filter=" + filter->name + " | " + patternList(filter->pattern));
        if (withParent && request.parentWindow != 0)
            args.push_back("--attach=" + std::to_string(request.parentWindow));
        return args;
    }

    args = {"kdialog", "--title", request.title};
    if (withParent && request.parentWindow != 0) {
        args.push_back("--attach");
        args.push_back(std::to_string(request.parentWindow));
    }
    args.emplace_back(save ? "--getsavefilename" : "--getopenfilename");
    args.push_back(start.empty() ? "." : start);
    std::string filters;
    for (const FileFilter* filter : filtersInOrder(request)) {
        if (!filters.empty()) filters += '\n';
        filters += patternList(filter->pattern) + "|" + filter->name;
    }
    if (!filters.empty()) args.push_back(filters);
    return args;
}

std::vector<std::string> replaceQuestionArguments(DialogProgram program, const std::string& path,
                                                  std::uint64_t parentWindow, bool withParent) {
    const std::string question =
        "A file named \"" + baseName(path) + "\" already exists. Do you want to replace it?";
    if (program == DialogProgram::zenity) {
        std::vector<std::string> args = {"zenity", "--question", "--title=Confirm Save As",
                                         "--text=" + escapeMarkup(question)};
        if (withParent && parentWindow != 0)
            args.push_back("--attach=" + std::to_string(parentWindow));
        return args;
    }
    std::vector<std::string> args = {"kdialog", "--title", "Confirm Save As"};
    if (withParent && parentWindow != 0) {
        args.push_back("--attach");
        args.push_back(std::to_string(parentWindow));
    }
    args.push_back("--warningyesno");
    args.push_back(question);
    return args;
}

std::vector<std::string> messageBoxArguments(DialogProgram program, std::string_view caption,
                                             std::string_view message, bool withErrorIcon) {
    if (program == DialogProgram::zenity)
        return {"zenity", "--error", "--title=" + std::string(caption),
                "--text=" + escapeMarkup(message)};
    return {"kdialog", "--title", std::string(caption), withErrorIcon ? "--error" : "--sorry",
            std::string(message)};
}
