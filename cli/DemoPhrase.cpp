// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DemoPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace cli {

namespace {

// A small seeded generator, so the phrase is the same on every platform.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state(seed != 0 ? seed : 1u) {}
    // Uniform in [-1, 1).
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    std::uint32_t state;
};

void addPanned(StereoBuffer& out, long long start, const std::vector<float>& sound, float pan) {
    // Constant-power pan: -1 left, 0 centre, 1 right.
    const double angle = (static_cast<double>(pan) + 1.0) * std::numbers::pi / 4.0;
    const auto gainL = static_cast<float>(std::cos(angle));
    const auto gainR = static_cast<float>(std::sin(angle));
    for (std::size_t i = 0; i < sound.size(); ++i) {
        auto at = static_cast<std::size_t>(start) + i;
        if (at >= out.left.size()) break;
        out.left[at] += gainL * sound[i];
        out.right[at] += gainR * sound[i];
    }
}

// A plucked string: a noise burst circulating in a delay line one period long, each pass
// averaged with its neighbour (y[n] = d * (y[n-P] + y[n-P-1]) / 2) so high partials die
// first, as on a real string.
std::vector<float> pluck(double rate, double frequencyHz, double seconds, Noise& noise) {
    auto length = static_cast<std::size_t>(rate * seconds);
    auto period = std::max<std::size_t>(2, static_cast<std::size_t>(rate / frequencyHz));
    std::vector<float> line(period);
    for (float& s : line) s = noise.next();
    std::vector<float> out(length);
    const float decay = 0.996f;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < length; ++i) {
        std::size_t next = pos + 1 == period ? 0 : pos + 1;
        float y = line[pos];
        line[pos] = decay * 0.5f * (line[pos] + line[next]);
        pos = next;
        // A short fade at the end so the note never stops with a click.
        double left = static_cast<double>(length - i) / (0.05 * rate);
        out[i] = y * static_cast<float>(std::min(1.0, left));
    }
    return out;
}

// A kick drum: a sine sweeping down from 150 Hz to 45 Hz with a fast decay and a click.
std::vector<float> kick(double rate) {
    auto length = static_cast<std::size_t>(rate * 0.45);
    std::vector<float> out(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / rate;
        double frequency = 45.0 + 105.0 * std::exp(-t / 0.04);
        phase += 2.0 * std::numbers::pi * frequency / rate;
        double body = std::sin(phase) * std::exp(-t / 0.12);
        double click = std::exp(-t / 0.002) * 0.5;
        out[i] = static_cast<float>(body + click);
    }
    return out;
}

// A noise burst with a sharp attack and an 80 ms decay, lightly low-passed.
std::vector<float> noiseBurst(double rate, Noise& noise) {
    auto length = static_cast<std::size_t>(rate * 0.3);
    std::vector<float> out(length);
    const auto smoothing =
        static_cast<float>(1.0 - std::exp(-2.0 * std::numbers::pi * 6000.0 / rate));
    float state = 0.0f;
    for (std::size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / rate;
        state += smoothing * (noise.next() - state);
        out[i] = state * static_cast<float>(std::exp(-t / 0.08));
    }
    return out;
}

} // namespace

StereoBuffer makeDemoPhrase(double sampleRateHz) {
    StereoBuffer out;
    out.sampleRate = sampleRateHz;
    auto frames = static_cast<std::size_t>(std::llround(kDemoPhraseSeconds * sampleRateHz));
    out.left.assign(frames, 0.0f);
    out.right.assign(frames, 0.0f);
    Noise noise(0x7e55e1u);

    auto at = [&](double seconds) { return std::llround(seconds * sampleRateHz); };
    // A short melody in A minor, eighth notes at 120 beats per minute, moving across the
    // stereo field so that both delay lines are heard.
    struct Note {
        double start, frequencyHz;
        float pan;
    };
    const Note melody[] = {{0.00, 220.00, -0.6}, {0.25, 261.63, -0.2}, {0.50, 329.63, 0.2},
                           {0.75, 440.00, 0.6},  {1.25, 392.00, 0.3},  {1.50, 329.63, -0.3}};
    for (const Note& note : melody)
        addPanned(out, at(note.start), pluck(sampleRateHz, note.frequencyHz, 1.0, noise), note.pan);
    addPanned(out, at(2.0), kick(sampleRateHz), 0.0f);
    addPanned(out, at(2.75), noiseBurst(sampleRateHz, noise), 0.4f);

    float peak = 0.0f;
    for (std::size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
    if (peak > 0.0f) {
        const float gain = kDemoPhrasePeak / peak;
        for (std::size_t i = 0; i < frames; ++i) {
            out.left[i] *= gain;
            out.right[i] *= gain;
        }
    }
    return out;
}

} // namespace cli
