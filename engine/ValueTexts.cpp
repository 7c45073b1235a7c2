// SPDX-License-Identifier: GPL-3.0-or-later
// How a sound parameter's value reads: the host's value texts and the numbers the editor's
// four-digit display shows. Both only read stored and working values. No text here goes
// through the C library's locale-dependent number formatting.
#include "engine/Drell.h"
#include "engine/TempoSync.h"
#include "host/HostText.h"
#include "host/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr VstInt32 kCut = NumberFormat::kMaxValueChars;
constexpr double kHalfPi = std::numbers::pi / 2.0;

// A small text builder over a fixed buffer; appends are cut at its end.
class Text {
public:
    Text& operator<<(const char* s) {
        while (*s != '\0' && len + 1 < sizeof buf) buf[len++] = *s++;
        buf[len] = '\0';
        return *this;
    }
    Text& operator<<(long long n) {
        char digits[24];
        auto result = std::to_chars(digits, digits + sizeof digits - 1, n);
        *result.ptr = '\0';
        return *this << digits;
    }
    const char* str() const { return buf; }

private:
    char buf[hosttext::kParamTextBytes] = {};
    std::size_t len = 0;
};

// The share of the second side in percent: floor(101·v), at most 100.
int splitOf(float v) noexcept {
    int w = static_cast<int>(std::floor(101.0f * v));
    return w > 100 ? 100 : w;
}

// "A:<100-w><><w>:B" for a split between two sides.
void splitText(Text& t, const char* left, const char* right, float v) {
    const int w = splitOf(v);
    t << left << (100LL - w) << "<>" << static_cast<long long>(w) << right;
}

// Whole percent of x rounded, with a sign only when it is not "-0".
void signedPercent(Text& t, float x) {
    const long long n = static_cast<long long>(std::floor(std::fabs(x) * 100.0f + 0.5f));
    if (x < 0.0f && n != 0) t << "-";
    t << n;
}

} // namespace

void Drell::getParameterDisplay(VstInt32 index, char* text) {
    if (!isSoundParameter(index) || text == nullptr) return;
    formatValue(index, text);
}

void Drell::formatValue(VstInt32 index, char* text) {
    char number[kCut + 1] = {};
    Text t;
    const float v = params[index];
    const ParameterInfo& info = kParameterTable[index];
    if (info.words != nullptr) {
        // A choice shown as a word.
        t << info.words[step(v, info.steps)];
        hosttext::copy(text, t.str(), hosttext::kParamTextBytes);
        return;
    }
    using namespace temposync;
    switch (index) {
    case kMainIn:
        NumberFormat::dB2string(smoothTarget[sInGain], number, kCut);
        break;
    case kMainOut:
        NumberFormat::dB2string(smoothTarget[sOutGain], number, kCut);
        break;
    case kDlyLFb:
    case kDlyRFb:
        NumberFormat::dB2string(v, number, kCut);
        break;
    case kDrvGain:
        NumberFormat::dB2string(smoothTarget[sDrive], number, kCut);
        break;
    case kMainMix:
        splitText(t, "D:", ":W", v);
        break;
    case kDlyLFbPan:
    case kDlyRFbPan:
        splitText(t, "L:", ":R", v);
        break;
    case kModSource:
        splitText(t, "L:", ":E", v);
        break;
    case kModLfoRate:
        NumberFormat::float2string(lfoRateHz, number, kCut);
        break;
    case kModLfoOffset: {
        const float offset = lfoOffset;
        const long long n = static_cast<long long>(
            std::floor(std::fabs(static_cast<double>(offset)) / kHalfPi * 90.0 + 0.5));
        if (n == 0)
            t << "L:0<>0:R";
        else if (offset < 0.0f)
            t << "L:+" << n << "<>" << n << "-:R";
        else
            t << "L:-" << n << "<>" << n << "+:R";
        break;
    }
    case kFltMod:
        signedPercent(t, smoothTarget[sFltModDepth]);
        break;
    case kVcoMod:
        signedPercent(t, smoothTarget[sVcoMod]);
        break;
    case kModSens:
        signedPercent(t, v);
        break;
    case kFltCutoff:
        NumberFormat::long2string(static_cast<long long>(smoothTarget[sCutoff]), number, kCut);
        break;
    case kFltRes:
        NumberFormat::float2string(10.0f * v, number, kCut);
        break;
    case kVcoManual:
        NumberFormat::float2string(std::exp2(vcoManual.load()), number, kCut);
        break;
    case kModEnvSpeed:
        NumberFormat::long2string(static_cast<long long>(envMs + 0.5f), number, kCut);
        break;
    case kDlyLNum:
        t << static_cast<long long>(kDelayNumerators[dlyNumIdx[0]]);
        break;
    case kDlyRNum:
        t << static_cast<long long>(kDelayNumerators[dlyNumIdx[1]]);
        break;
    case kModLfoNum:
        t << static_cast<long long>(kLfoNumerators[lfoNumIdx]);
        break;
    case kDlyLDen:
        t << static_cast<long long>(kDenominators[dlyDenIdx[0]]);
        break;
    case kDlyRDen:
        t << static_cast<long long>(kDenominators[dlyDenIdx[1]]);
        break;
    case kModLfoDen:
        t << static_cast<long long>(kDenominators[lfoDenIdx]);
        break;
    case kDlyLRange:
    case kDlyRRange: {
        const int side = index == kDlyLRange ? 0 : 1;
        t << static_cast<long long>(dlyRangeMs[side] + 0.5f);
        break;
    }
    case kDlyLTime:
    case kDlyRTime: {
        // Six decimals, as "%f" gives them in the C locale.
        char digits[48];
        const double ms = dlyTimeMs[index == kDlyLTime ? 0 : 1];
        auto result =
            std::to_chars(digits, digits + sizeof digits - 1, ms, std::chars_format::fixed, 6);
        *result.ptr = '\0';
        t << digits;
        break;
    }
    case kRvbDamp:
    case kRvbAmt:
        NumberFormat::float2string(static_cast<float>(100.0 * static_cast<double>(v)), number,
                                   kCut);
        break;
    default:
        break;
    }
    // The number formats wrote into their own buffer; the other texts were built in t.
    t << number;
    hosttext::copy(text, t.str(), hosttext::kParamTextBytes);
}

void Drell::getDisplayValue(int* digits, int* point, VstInt32 index, bool* isSigned, int* kind,
                            int* num, int* den) {
    using namespace temposync;
    auto write = [](auto* p, auto value) {
        if (p != nullptr) *p = value;
    };
    auto decibels = [](float g) {
        return g < std::pow(10.0f, -4.9f) ? -100.0f : 20.0f * std::log10(g);
    };
    constexpr VstInt32 kTempoIndex = kNumParams + 1;
    const bool sound = isSoundParameter(index);
    const float v = sound ? params[index].load() : 0.0f;
    const DisplayForm form =
        sound ? kParameterTable[index].display
              : (index == kTempoIndex ? DisplayForm::Unsigned : DisplayForm::None);
    float x = 0.0f;
    int k = 0;

    switch (index) {
    case kMainIn:
        x = decibels(smoothTarget[sInGain]);
        break;
    case kMainOut:
        x = decibels(smoothTarget[sOutGain]);
        break;
    case kDlyLFb:
        x = decibels(smoothTarget[sFbGainL]);
        break;
    case kDlyRFb:
        x = decibels(smoothTarget[sFbGainR]);
        break;
    case kMainMix:
    case kDlyLFbPan:
    case kDlyRFbPan:
    case kModSource: {
        // Hundreds and thousands carry 100 - w, tens and units w.
        int w = static_cast<int>(std::floor(101.0f * v));
        if (w >= 100) {
            w = 100;
            k = 1;
        } else {
            k = w <= 0 ? 3 : 2;
        }
        x = w <= 0 ? 1000.0f : static_cast<float>(w + (100 - w) * 100);
        break;
    }
    case kModLfoRate:
        x = lfoRateHz;
        break;
    case kModLfoOffset:
        x = static_cast<float>(lfoOffset * 90.0 / kHalfPi);
        break;
    case kFltMod:
        x = smoothTarget[sFltModDepth] * 100.0f;
        break;
    case kFltCutoff:
        x = smoothTarget[sCutoff] / 1000.0f;
        break;
    case kFltRes:
    case kModSens:
        x = 10.0f * v;
        break;
    case kVcoManual:
        x = std::exp2(vcoManual.load());
        break;
    case kVcoMod:
        x = smoothTarget[sVcoMod] * 100.0f;
        break;
    case kDrvGain:
        x = 20.0f * std::log10(smoothTarget[sDrive]);
        break;
    case kModEnvSpeed:
        x = envMs;
        break;
    case kDlyLTime:
        x = dlyTimeMs[0];
        break;
    case kDlyRTime:
        x = dlyTimeMs[1];
        break;
    case kRvbDamp:
    case kRvbAmt:
        x = 100.0f * v;
        break;
    case kTempoIndex:
        x = tempo;
        break;
    case kDlyLNum:
    case kDlyLDen:
        write(num, kDelayNumerators[dlyNumIdx[0]]);
        write(den, kDenominators[dlyDenIdx[0]]);
        break;
    case kDlyRNum:
    case kDlyRDen:
        write(num, kDelayNumerators[dlyNumIdx[1]]);
        write(den, kDenominators[dlyDenIdx[1]]);
        break;
    case kModLfoNum:
    case kModLfoDen:
        write(num, kLfoNumerators[lfoNumIdx]);
        write(den, kDenominators[lfoDenIdx]);
        break;
    default:
        break;
    }

    // Sign and kind as the parameter's display form asks.
    switch (form) {
    case DisplayForm::Signed:
        write(isSigned, true);
        write(kind, k);
        break;
    case DisplayForm::Unsigned:
    case DisplayForm::Split:
        write(isSigned, false);
        write(kind, k);
        break;
    case DisplayForm::Bare:
        write(kind, k);
        break;
    case DisplayForm::None:
    case DisplayForm::NoteValue:
        break;
    }

    // Digits and the position of the point on a four-digit display.
    if (k == 0) {
        const float a = std::fabs(x);
        int d = 0, p = 0;
        if (a < 10.0f) {
            d = static_cast<int>(a * 1000.0f + 0.5f);
            p = 1;
        } else if (a < 100.0f) {
            d = static_cast<int>(a * 100.0f + 0.5f);
            p = 2;
        } else if (a < 1000.0f) {
            d = static_cast<int>(a * 10.0f + 0.5f);
            p = 3;
        } else {
            d = static_cast<int>(a + 0.5f);
        }
        write(digits, x < 0.0f ? -d : d);
        write(point, p);
    } else {
        write(digits, static_cast<int>(x + 0.5f));
        write(point, 0);
    }
}
