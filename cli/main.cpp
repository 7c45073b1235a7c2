// tessel-render: plays a file (or the built-in demo phrase) through the effect, created
// through its entry point exactly as a host creates it, and writes the result.
#include "cli/AudioFile.h"
#include "cli/DemoPhrase.h"
#include "cli/Numbers.h"
#include "cli/Options.h"
#include "cli/Progress.h"
#include "cli/RenderHost.h"
#include "cli/Renderer.h"
#include "cli/SoundSetup.h"

#include <atomic>
#include <chrono>
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

// Creates the effect for the given rate, applies the sound options and starts it, so that
// lists and renders see the same state.
std::string prepare(cli::RenderHost& host, const cli::Options& options, double sampleRate) {
    host.configure(sampleRate, options.blockSize, options.tempoBpm);
    std::string error = cli::applySoundActions(host, options.sound);
    if (error.empty()) host.start();
    return error;
}

void listPrograms(const cli::RenderHost& host) {
    for (int i = 0; std::optional<std::string> name = host.programName(i); ++i)
        std::printf("%d\t%s\n", i, name->c_str());
}

void listParameters(const cli::RenderHost& host) {
    for (int i = 0; i < host.numParameters(); ++i) {
        std::printf("%d\t%s\t%s\t%s\t%s\n", i, host.parameterName(i).c_str(),
                    cli::formatShortest(host.parameterValue(i)).c_str(),
                    host.parameterDisplay(i).c_str(), host.parameterLabel(i).c_str());
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
           cli::formatFixed(factor, factor < 10.0 ? 1 : 0) + "x real time) -> " + output;
}

int renderToFile(const cli::Options& options) {
    std::string error;
    if (!cli::SoundFileSink::checkOutputPath(options.output, options.format, error))
        return fail(error, kExitRenderFailed);
    if (options.input && sameFile(*options.input, options.output))
        return fail("the output " + options.output + " would overwrite the input",
                    kExitBadCommandLine);
    // A lone file name that exists is more likely an input whose output was forgotten than
    // a place for the demo phrase: only a file this tool wrote is replaced.
    if (!options.input && std::filesystem::exists(options.output) &&
        !cli::SoundFileSink::writtenByThisTool(options.output))
        return fail("'" + options.output +
                        "' exists and no input was named; to render a file, name both "
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

    std::unique_ptr<cli::SoundFileSink> sink =
        cli::SoundFileSink::create(options.output, source->sampleRate(), options.format,
                                   cli::maxOutputFrames(*source, options.tailSeconds), error);
    if (!sink) return fail(error, kExitRenderFailed);

    catchSignals();
    cli::ProgressBar progress(stderr, isatty(STDERR_FILENO) == 1);
    cli::RenderPlan plan;
    plan.tailSeconds = options.tailSeconds;
    plan.cancel = &interrupted;
    plan.onProgress = [&progress](const cli::RenderProgress& p) { progress.update(p); };

    const auto started = std::chrono::steady_clock::now();
    cli::RenderResult result = cli::render(host, *source, *sink, plan);
    host.stop();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    progress.finish();

    if (!result.ok())
        return fail(result.error, interrupted.load() ? kExitInterrupted : kExitRenderFailed);
    if (!sink->commit(error)) return fail(error, kExitRenderFailed);
    if (result.tailCut)
        std::fprintf(stderr,
                     "tessel-render: the tail was cut at %s s; the effect was still sounding "
                     "(use --tail to choose its length)\n",
                     cli::formatFixed(cli::kMaxAutoTailSeconds, 0).c_str());
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
