// SPDX-License-Identifier: GPL-3.0-or-later
// Texts that came from files or the command line (program names, paths) as the tool
// prints them: control bytes are shown escaped, so a name can neither split a listing's
// lines nor send commands to the terminal. The text itself is never changed: names are
// matched and stored byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// Tab, line feed and carriage return as \t, \n and \r, the backslash as \\, other control
// bytes (C0, DEL and the C1 controls) and bytes that are not valid UTF-8 as \xHH; every
// other character as it is.
std::string printable(std::string_view text);

// printable(text) in single quotes, as messages quote names and paths.
std::string inQuotes(std::string_view text);

} // namespace cli
