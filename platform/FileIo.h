// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reading with a size limit, and file replacement that never leaves a damaged or
// half-written file behind: the new content goes to a temporary file next to the target, is
// flushed to disk and then renamed over the target in one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Files larger than this are refused by default: no file of ours comes near it.
inline constexpr std::size_t kMaxReadBytes = 1u << 20;

// The bytes of a regular file of at most maxBytes bytes; nullopt when the path cannot be
// opened, is not a regular file (a FIFO or device never blocks the caller) or is larger.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path,
                                                       std::size_t maxBytes = kMaxReadBytes);

// Replaces the file at path with bytes: temporary file with a unique name in the same
// folder, fsync, rename, fsync of the folder. An existing target keeps its permissions and a
// symbolic link is followed, so the file it points to is replaced. Returns 0 on success,
// else the errno value of the failing step; on failure the previous file is untouched and
// the temporary file is removed.
int writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
