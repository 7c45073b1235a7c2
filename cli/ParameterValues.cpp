// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ParameterValues.h"

#include "cli/NameMatching.h"
#include "cli/Numbers.h"
#include "cli/Printable.h"
#include "cli/RenderHost.h"
#include "presets/ControllerMap.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace cli {

namespace {

constexpr std::string_view kControllerPrefix = "CC# ";

// A typed value: a number with the unit after it ("250 ms", "-6dB", "-oo dB"), or a word
// ("plate"). unit holds the word when there is no number.
struct Typed {
    std::optional<double> number;
    std::string unit;
};

// A leading number of the text and where it ends; "-oo" and "-inf" read as minus infinity.
std::optional<double> leadingNumber(std::string_view text, std::size_t& end) {
    for (std::string_view minusInfinity : {"-oo", "-inf"})
        if (text.size() >= minusInfinity.size() &&
            sameIgnoringCase(text.substr(0, minusInfinity.size()), minusInfinity)) {
            end = minusInfinity.size();
            return -std::numeric_limits<double>::infinity();
        }
    std::size_t start = !text.empty() && text.front() == '+' ? 1 : 0;
    if (start < text.size() && text[start] == '-' && start == 1) return std::nullopt;
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    end = static_cast<std::size_t>(ptr - text.data());
    return value;
}

Typed parseTyped(std::string_view text) {
    Typed typed;
    std::size_t end = 0;
    typed.number = leadingNumber(text, end);
    typed.unit = std::string(trimSpaces(typed.number ? text.substr(end) : text));
    return typed;
}

// The factor from a typed unit to the parameter's label: 1 for the label itself, 1000 for
// kHz against Hz and for s against ms; none for a unit that does not fit.
std::optional<double> unitFactor(std::string_view label, std::string_view unit) {
    if (sameIgnoringCase(unit, label)) return 1.0;
    if (label == "Hz" && sameIgnoringCase(unit, "kHz")) return 1000.0;
    if (label == "ms" && sameIgnoringCase(unit, "s")) return 1000.0;
    if (label == "deg" && (unit == "\xC2\xB0" || sameIgnoringCase(unit, "degrees"))) return 1.0;
    return std::nullopt;
}

bool isController(const std::string& name) {
    return name.rfind(kControllerPrefix, 0) == 0;
}

std::string controllerText(float value) {
    const VstInt32 cc = controllerOfHostValue(value);
    return cc != kNotAssigned ? "CC " + std::to_string(cc) : "none";
}

std::string listOf(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t k = 0; k < words.size(); ++k)
        text += (k == 0 ? "" : ", ") + printable(words[k]);
    return text;
}

} // namespace

std::optional<double> displayNumber(std::string_view text) {
    text = trimSpaces(text);
    if (text == "-oo") return -std::numeric_limits<double>::infinity();
    // A split of two shares ("D:70<>30:W"): the right-hand number, signed by the mark
    // after it where there is one ("L:+45<>45-:R" is 45 degrees to the left).
    if (std::size_t split = text.find("<>"); split != std::string_view::npos) {
        std::string_view right = text.substr(split + 2);
        double value = 0.0;
        auto [ptr, ec] = std::from_chars(right.data(), right.data() + right.size(), value);
        if (ec != std::errc()) return std::nullopt;
        return ptr != right.data() + right.size() && *ptr == '-' ? -value : value;
    }
    std::size_t end = 0;
    std::optional<double> value = leadingNumber(text, end);
    if (!value || end != text.size()) return std::nullopt;
    return value;
}

ParameterValues::ParameterValues(RenderHost& host)
    : host(host), choiceCache(static_cast<std::size_t>(host.numParameters())) {}

ParameterValues::~ParameterValues() = default;

std::string ParameterValues::shown(int index) const {
    if (isController(host.parameterName(index))) return controllerText(host.parameterValue(index));
    return host.parameterDisplay(index);
}

const std::vector<std::string>& ParameterValues::choices(int index) {
    static const std::vector<std::string> kNone;
    if (index < 0 || static_cast<std::size_t>(index) >= choiceCache.size()) return kNone;
    auto& cached = choiceCache[static_cast<std::size_t>(index)];
    if (cached) return *cached;
    cached.emplace();
    std::optional<int> steps = host.parameterSteps(index);
    if (!steps) return *cached;
    if (!scratch) scratch = std::make_unique<RenderHost>();
    for (int k = 0; k < *steps; ++k) {
        scratch->setParameter(index, static_cast<float>((k + 0.5) / *steps));
        cached->push_back(scratch->parameterDisplay(index));
    }
    return *cached;
}

ValueSetting ParameterValues::set(int index, std::string_view text) {
    ValueSetting result;
    const std::string name = host.parameterName(index);
    const std::string label = host.parameterLabel(index);
    const Typed typed = parseTyped(text);
    const bool normalised = typed.number && typed.unit.empty();
    std::optional<float> value;

    if (isController(name)) {
        std::string_view word = text;
        if (sameIgnoringCase(word, "none") || sameIgnoringCase(word, "not assigned")) {
            value = 1.0f;
        } else if (word.size() > 2 && sameIgnoringCase(word.substr(0, 2), "cc")) {
            std::optional<long long> cc = parseInteger(trimSpaces(word.substr(2)));
            if (cc && *cc >= 0 && *cc < kNumControllers)
                value = hostValueOfController(static_cast<VstInt32>(*cc));
        }
        if (!value && normalised && *typed.number >= 0.0 && *typed.number <= 1.0)
            value = static_cast<float>(*typed.number);
        if (!value)
            result.error = inQuotes(name) +
                           " takes a controller (CC 0 to CC 127), none, or a "
                           "normalised value in [0, 1]; not " +
                           inQuotes(text);
    } else if (const std::vector<std::string>& list = choices(index); !list.empty()) {
        const std::optional<double> factor =
            typed.number ? unitFactor(label, typed.unit.empty() ? label : typed.unit)
                         : std::nullopt;
        for (std::size_t k = 0; k < list.size() && !value; ++k) {
            const std::optional<double> choice = displayNumber(list[k]);
            if (sameIgnoringCase(list[k], text) ||
                (factor && choice && *choice == *typed.number * *factor))
                value = static_cast<float>((static_cast<double>(k) + 0.5) /
                                           static_cast<double>(list.size()));
        }
        if (!value && normalised && *typed.number >= 0.0 && *typed.number <= 1.0)
            value = static_cast<float>(*typed.number);
        if (!value)
            result.error = inQuotes(name) + " takes one of " + listOf(list) +
                           (label.empty() ? "" : " (" + label + ")") +
                           ", or a normalised value in [0, 1]; not " + inQuotes(text);
    } else if (normalised) {
        if (*typed.number >= 0.0 && *typed.number <= 1.0)
            value = static_cast<float>(*typed.number);
        else
            result.error = inQuotes(name) + ": " + inQuotes(text) +
                           " is outside [0, 1] (values without a unit are normalised" +
                           (label.empty() ? ")"
                                          : "; give it in " + label + ", e.g. '" +
                                                formatShortest(static_cast<float>(*typed.number)) +
                                                " " + label + "')");
    } else if (!typed.number) {
        result.error = inQuotes(name) + ": " + inQuotes(text) + " is not a value" +
                       (label.empty() ? " (give a normalised value in [0, 1])"
                                      : " (give a number in " + label + " or in [0, 1])");
    } else if (std::optional<double> factor = unitFactor(label, typed.unit); !factor) {
        result.error =
            inQuotes(name) + " is " +
            (label.empty() ? std::string("not measured in a unit") : "measured in " + label) +
            ", not " + inQuotes(typed.unit);
    } else {
        return setContinuous(index, *typed.number * *factor, label);
    }

    if (value) {
        host.setParameter(index, *value);
        result.shown = shown(index) + (label.empty() ? "" : " " + label);
    }
    return result;
}

ValueSetting ParameterValues::setContinuous(int index, double target, const std::string& label) {
    ValueSetting result;
    const std::string name = host.parameterName(index);
    auto at = [&](float v) {
        host.setParameter(index, v);
        return displayNumber(host.parameterDisplay(index));
    };
    const std::optional<double> low = at(0.0f), high = at(1.0f);
    if (!low || !high || *low == *high) {
        // Nothing to search: the text does not follow the value in the present state.
        result.error = inQuotes(name) + " shows " + inQuotes(host.parameterDisplay(index)) +
                       " whatever its value now; give a normalised value in [0, 1]";
        return result;
    }
    // Searched as a rising function: falling texts are turned around.
    const double sign = *high > *low ? 1.0 : -1.0;
    auto rising = [&](float v) {
        std::optional<double> y = at(v);
        return y ? sign * *y : -std::numeric_limits<double>::infinity();
    };
    const double want = sign * target;
    float chosen = 0.0f;
    if (want <= sign * *low) {
        chosen = 0.0f;
    } else if (want >= sign * *high) {
        chosen = 1.0f;
    } else {
        float lo = 0.0f, hi = 1.0f; // rising(lo) < want <= rising(hi)
        for (int i = 0; i < 100; ++i) {
            const float mid = lo + 0.5f * (hi - lo);
            if (mid <= lo || mid >= hi) break;
            (rising(mid) >= want ? hi : lo) = mid;
        }
        // The nearer of the two, and the upper one when it lies within rounding of the
        // target, so that a time of 250 ms does not fall one sample short.
        const double above = rising(hi) - want, below = want - rising(lo);
        chosen = above <= 1e-6 * std::max(1.0, std::fabs(want)) || above <= below ? hi : lo;
    }
    if (chosen == 0.0f || chosen == 1.0f) {
        const std::string lowest = (host.setParameter(index, 0.0f), host.parameterDisplay(index));
        const std::string highest = (host.setParameter(index, 1.0f), host.parameterDisplay(index));
        if (want < sign * *low || want > sign * *high) {
            std::string warning = inQuotes(name) + " reaches from " + lowest + " to " + highest +
                                  (label.empty() ? "" : " " + label) + " here; " +
                                  formatShortest(static_cast<float>(target)) +
                                  (label.empty() ? "" : " " + label) + " is beyond it";
            // A delay time's reach is its line's range, a switch of its own.
            constexpr std::string_view kTime = "Time";
            if (want > sign * *high && name.size() > kTime.size() &&
                name.compare(name.size() - kTime.size(), kTime.size(), kTime) == 0) {
                std::string range = name.substr(0, name.size() - kTime.size()) + "Range";
                if (host.parameterIndex(range))
                    warning += " (set a longer \"" + range + "\" before it)";
            }
            result.warnings.push_back(warning);
        }
    }
    host.setParameter(index, chosen);
    result.shown = shown(index) + (label.empty() ? "" : " " + label);
    return result;
}

} // namespace cli
