// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/NameMatching.h"

#include "cli/Printable.h"

#include <algorithm>
#include <numeric>

namespace cli {

namespace {

constexpr std::size_t kMostSuggestions = 3;

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Lower case, without the spaces around it, as loose comparisons see a name.
std::string folded(std::string_view text) {
    std::string out(trimSpaces(text));
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

// Without blanks, underscores and dashes: "DlyLTime" and "dly_l time" read as one name.
std::string squeezed(std::string_view foldedText) {
    std::string out;
    for (char c : foldedText)
        if (c != ' ' && c != '_' && c != '-') out += c;
    return out;
}

// Edits (insert, delete, replace, swap two neighbours) that turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
    std::iota(previous.begin(), previous.end(), 0);
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[m];
}

} // namespace

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

NameMatch matchName(const std::vector<std::string>& candidates, std::string_view typed) {
    NameMatch match;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (candidates[i] == typed) {
            match.index = static_cast<int>(i);
            return match;
        }
    const std::string want = folded(typed);
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (folded(candidates[i]) == want) {
            match.index = static_cast<int>(i);
            return match;
        }

    // Near misses: a few typing slips away, or the same but for blanks and dashes.
    const std::size_t allowed = std::max<std::size_t>(2, want.size() / 4);
    std::vector<std::pair<std::size_t, int>> ranked;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::string name = folded(candidates[i]);
        std::size_t distance = squeezed(name) == squeezed(want) ? 0 : editDistance(name, want);
        if (distance <= allowed) ranked.emplace_back(distance, static_cast<int>(i));
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 0; k < ranked.size() && k < kMostSuggestions; ++k)
        match.nearMisses.push_back(ranked[k].second);
    return match;
}

std::string suggestion(const std::vector<std::string>& candidates,
                       const std::vector<int>& nearMisses) {
    if (nearMisses.empty()) return {};
    std::string text = " (did you mean ";
    for (std::size_t k = 0; k < nearMisses.size(); ++k) {
        if (k > 0) text += k + 1 == nearMisses.size() ? " or " : ", ";
        text += inQuotes(candidates[static_cast<std::size_t>(nearMisses[k])]);
    }
    return text + "?)";
}

} // namespace cli
