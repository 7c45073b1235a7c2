// SPDX-License-Identifier: GPL-3.0-or-later
// tessel-render: plays a file (or the built-in demo phrase) through the effect, created as
// its entry point creates it and driven through its record and dispatcher as a host drives
// it, and writes the result.
#include "cli/AudioFile.h"
#include "cli/DemoPhrase.h"
#include "cli/Numbers.h"
#include "cli/Options.h"
#include "cli/ParameterValues.h"
#include "cli/Printable.h"
#include "cli/Progress.h"
#include "cli/RenderHost.h"
#include "cli/Renderer.h"
#include "cli/SoundSetup.h"
#include "cli/TailLength.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExitRenderFailed = 1;
constexpr int kExitBadCommandLine = 2;
constexpr int kExitInterrupted = 130;
constexpr const char* kNoEffect = "the effect could not be created";

// Set by SIGINT, SIGTERM and SIGHUP: the render stops and removes its temporary file.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onSignal(int) {
    interrupted.store(true);
}

void catchSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int fail(const std::string& message, int code) {
    std::fprintf(stderr, "tessel-render: %s\n", message.c_str());
    return code;
}

void note(const std::string& message) {
    std::fprintf(stderr, "tessel-render: %s\n", message.c_str());
}

void warn(const std::string& message) {
    note("warning: " + message);
}

// Creates the effect's state for the given rate, applies the sound options and starts it,
// so that lists and renders see the same state. Says what was set and what cannot be
// heard; answers the first failure.
std::string prepare(cli::RenderHost& host, const cli::Options& options, double sampleRate) {
    for (const std::string& message : host.startupMessages()) warn(cli::printable(message));
    host.configure(sampleRate, options.blockSize, options.tempoBpm);
    cli::SoundSetup setup = cli::applySoundActions(host, options.sound);
    if (!setup.error.empty()) return setup.error;
    for (const std::string& line : setup.notes) note(line);
    for (const std::string& line : setup.warnings) warn(line);
    host.start();
    return {};
}

void listPrograms(const cli::RenderHost& host) {
    for (int i = 0; std::optional<std::string> name = host.programName(i); ++i)
        std::printf("%d\t%s\n", i, cli::printable(*name).c_str());
}

void listParameters(cli::RenderHost& host) {
    cli::ParameterValues values(host);
    for (int i = 0; i < host.numParameters(); ++i) {
        std::printf("%d\t%s\t%s\t%s\t%s\n", i, cli::printable(host.parameterName(i)).c_str(),
                    cli::formatShortest(host.parameterValue(i)).c_str(),
                    cli::printable(values.shown(i)).c_str(),
                    cli::printable(host.parameterLabel(i)).c_str());
    }
}

std::string seconds(double value) {
    return cli::formatFixed(value, value < 10.0 ? 2 : value < 100.0 ? 1 : 0) + " s";
}

// What a listener would want to know about a finished render.
void reportRender(cli::RenderHost& host, const cli::Options& options,
                  const cli::RenderResult& result, const cli::TailEstimate& tail, double rate) {
    if (result.promisedInputFrames) {
        warn("the input " + cli::inQuotes(options.input.value_or("")) +
             " ended early: it promises " +
             seconds(static_cast<double>(*result.promisedInputFrames) / rate) + ", but only " +
             seconds(static_cast<double>(result.inputFrames) / rate) +
             " could be read (the file may be truncated)" +
             (result.inputProblem.empty() ? "" : "; " + result.inputProblem));
    } else if (!result.inputProblem.empty()) {
        warn(result.inputProblem + "; rendered the " +
             seconds(static_cast<double>(result.inputFrames) / rate) + " read before it");
    }
    if (result.tailFaded) {
        const double tailSeconds = options.tailSeconds.value_or(tail.limitSeconds);
        const std::string fade = seconds(std::min(cli::kTailFadeSeconds, tailSeconds));
        if (options.tailSeconds)
            warn("the effect was still sounding at the end of the " + seconds(tailSeconds) +
                 " tail; the last " + fade + " fade out (a longer --tail lets it ring out)");
        else
            warn("the effect was still sounding when the tail reached its limit of " +
                 seconds(tailSeconds) + "; the last " + fade + " fade out (" +
                 (tail.ringSeconds ? "these settings ring for about " + seconds(*tail.ringSeconds)
                                   : std::string("these settings can ring without end")) +
                 "; --tail SECONDS sets the length)");
    }
    if (result.overs > 0) {
        const double peakDb = 20.0 * std::log10(static_cast<double>(result.peak));
        const double lower = std::ceil(peakDb * 10.0) / 10.0 + 0.1;
        std::string advice = "lower \"Main Out\" by " + cli::formatFixed(lower, 1) + " dB";
        if (std::optional<int> out = host.parameterIndex("Main Out")) {
            std::optional<double> now = cli::displayNumber(host.parameterDisplay(*out));
            if (now && std::isfinite(*now))
                advice += " (--set \"Main Out=" + cli::formatFixed(*now - lower, 1) + " dB\")";
        }
        const std::string overs = std::to_string(result.overs) + " samples went beyond full " +
                                  "scale (peak +" + cli::formatFixed(peakDb, 2) + " dBFS)";
        if (options.format == cli::SampleFormat::pcm24)
            warn(overs + " and were clipped in the 24-bit file; --format float keeps them, or " +
                 advice);
        else
            warn(overs + "; the float file keeps them, but " + advice +
                 " before converting it to a fixed-point format");
    }
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

std::string summary(double audioSeconds, double processingSeconds, const std::string& output) {
    const double factor = audioSeconds / std::max(processingSeconds, 1e-6);
    return "rendered " + cli::formatFixed(audioSeconds, 1) + " s of audio in " +
           cli::formatFixed(processingSeconds, processingSeconds < 0.1 ? 3 : 2) + " s (" +
           cli::formatFixed(factor, factor < 10.0 ? 1 : 0) + "x real time) -> " +
           cli::printable(output);
}

int renderToFile(const cli::Options& options) {
    std::string error;
    if (!cli::SoundFileSink::checkOutputPath(options.output, options.format, error))
        return fail(error, kExitRenderFailed);
    if (options.input && sameFile(*options.input, options.output))
        return fail("the output " + cli::inQuotes(options.output) + " would overwrite the input",
                    kExitBadCommandLine);
    // A lone file name that exists is more likely an input whose output was forgotten than
    // a place for the demo phrase: only a file this tool wrote is replaced.
    if (!options.input && std::filesystem::exists(options.output) &&
        !cli::SoundFileSink::writtenByThisTool(options.output))
        return fail(cli::inQuotes(options.output) +
                        " exists and no input was named; to render a file, name both "
                        "(tessel-render INPUT OUTPUT); to render the demo phrase, choose "
                        "another output",
                    kExitBadCommandLine);

    // The input: a file, or the demo phrase.
    std::unique_ptr<cli::AudioSource> source;
    cli::StereoBuffer demo;
    if (options.input) {
        source = cli::SoundFileSource::open(*options.input, error);
        if (!source) return fail(error, kExitRenderFailed);
    } else {
        demo = cli::makeDemoPhrase(options.demoRateHz.value_or(cli::kDefaultDemoRateHz));
        source = std::make_unique<cli::BufferSource>(demo);
    }

    cli::RenderHost host;
    if (host.effect() == nullptr) return fail(kNoEffect, kExitRenderFailed);
    host.setMonoInput(source->channels() == 1);
    error = prepare(host, options, source->sampleRate());
    if (!error.empty()) return fail(error, kExitBadCommandLine);

    const cli::TailEstimate tail = cli::estimateTail(host);
    catchSignals();
    cli::ProgressBar progress(stderr, isatty(STDERR_FILENO) == 1);
    cli::RenderPlan plan;
    plan.tailSeconds = options.tailSeconds;
    plan.quietSeconds = tail.quietSeconds;
    plan.autoLimitSeconds = tail.limitSeconds;
    plan.cancel = &interrupted;
    plan.onProgress = [&progress](const cli::RenderProgress& p) { progress.update(p); };

    std::unique_ptr<cli::SoundFileSink> sink =
        cli::SoundFileSink::create(options.output, source->sampleRate(), options.format,
                                   cli::maxOutputFrames(*source, plan), error);
    if (!sink) return fail(error, kExitRenderFailed);

    const auto started = std::chrono::steady_clock::now();
    cli::RenderResult result = cli::render(host, *source, *sink, plan);
    host.stop();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    progress.finish();

    if (!result.ok())
        return fail(result.error, interrupted.load() ? kExitInterrupted : kExitRenderFailed);
    if (!sink->commit(error)) return fail(error, kExitRenderFailed);
    reportRender(host, options, result, tail, source->sampleRate());
    const double audioSeconds = static_cast<double>(result.outputFrames) / source->sampleRate();
    std::fprintf(stderr, "%s\n", summary(audioSeconds, elapsed.count(), options.output).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    cli::ParseResult parsed = cli::parseOptions(args);
    if (!parsed.ok()) return fail(parsed.error, kExitBadCommandLine);
    const cli::Options& options = parsed.options;
    if (options.help) {
        std::fputs(cli::usageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(cli::versionText("tessel-render").c_str(), stdout);
        return 0;
    }
    if (options.listPrograms || options.listParams) {
        cli::RenderHost host;
        if (host.effect() == nullptr) return fail(kNoEffect, kExitRenderFailed);
        std::string error =
            prepare(host, options, options.demoRateHz.value_or(cli::kDefaultDemoRateHz));
        if (!error.empty()) return fail(error, kExitBadCommandLine);
        if (options.listPrograms) listPrograms(host);
        if (options.listParams) listParameters(host);
        return 0;
    }
    return renderToFile(options);
}
