// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a program or parameter by the name a user typed: the exact name first, then the
// same name in other case or with spaces around it (factory names may end in a blank), and
// otherwise the near misses worth suggesting. Case is folded for ASCII letters only, so
// the result never depends on the locale; everything else is compared byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct NameMatch {
    std::optional<int> index;    // the name found
    std::vector<int> nearMisses; // when none was found: the closest names, best first
};

// candidates holds the names by index.
NameMatch matchName(const std::vector<std::string>& candidates, std::string_view typed);

// " (did you mean 'A' or 'B'?)" for the near misses, or the empty string.
std::string suggestion(const std::vector<std::string>& candidates,
                       const std::vector<int>& nearMisses);

// The text without the spaces around it.
std::string_view trimSpaces(std::string_view text);

// True when a and b are equal apart from the case of ASCII letters.
bool sameIgnoringCase(std::string_view a, std::string_view b);

} // namespace cli
