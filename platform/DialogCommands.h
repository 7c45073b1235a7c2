// SPDX-License-Identifier: GPL-3.0-or-later
// Command lines for zenity and kdialog: file dialogs, the overwrite question and message
// boxes. argv[0] is the program name; the caller spawns the program by its full path.
#pragma once

#include "platform/FileDialog.h"

#include <string>
#include <string_view>
#include <vector>

// withParent adds the parent window (kdialog --attach; zenity --attach, which only newer
// versions know).
std::vector<std::string> fileDialogArguments(DialogProgram program,
                                             const FileDialogRequest& request, bool withParent);

// Asks whether an existing file may be replaced; exit code 0 means yes.
std::vector<std::string> replaceQuestionArguments(DialogProgram program, const std::string& path,
                                                  std::uint64_t parentWindow, bool withParent);

// A message box with the given caption; withErrorIcon picks the error icon (kdialog shows
// the other kind with --sorry).
std::vector<std::string> messageBoxArguments(DialogProgram program, std::string_view caption,
                                             std::string_view message, bool withErrorIcon);

// The text with &, < and > escaped, for zenity, which reads its texts as markup.
std::string escapeMarkup(std::string_view text);

// The starting path a dialog is given: directory and file name joined, or either alone.
std::string dialogStartPath(const FileDialogRequest& request);
