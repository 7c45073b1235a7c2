// SPDX-License-Identifier: GPL-3.0-or-later
// How the system writes file paths: the separator between folders, and the characters a
// path may be split at (Windows takes '/' as well as '\').
#pragma once

#include <string_view>

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif
