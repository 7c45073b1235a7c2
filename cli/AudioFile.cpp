// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/AudioFile.h"

#include "cli/Numbers.h"
#include "cli/Printable.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sndfile.h>
#include <unistd.h>

namespace cli {

namespace fs = std::filesystem;

namespace {

// Stored in every file this tool writes.
constexpr const char* kSoftwareString = "tessel-render";

std::string lowerExtension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// A plain WAV header describes at most 4 GiB; keep a margin for the header's own chunks.
constexpr long long kPlainWavMaxBytes = 0xFFFFFFFFLL - (1LL << 20);

// The libsndfile format for an output path, or 0 when the extension is not one we write.
// A WAV render that may outgrow a plain WAV header is written as RF64, which libsndfile
// turns back into a WAV file when it closes small enough.
int outputFormat(const std::string& path, SampleFormat format, std::optional<long long> maxFrames) {
    std::string ext = lowerExtension(path);
    int container = 0;
    if (ext == ".flac") {
        container = SF_FORMAT_FLAC;
    } else if (ext == ".wav") {
        const long long bytesPerFrame = 2 * (format == SampleFormat::float32 ? 4 : 3);
        const bool mayBeLarge = !maxFrames || *maxFrames > kPlainWavMaxBytes / bytesPerFrame;
        container = mayBeLarge ? SF_FORMAT_RF64 : SF_FORMAT_WAV;
    }
    if (container == 0) return 0;
    return container | (format == SampleFormat::float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_24);
}

// libsndfile's own messages end in a full stop; ours are one clause.
std::string sndfileMessage(SNDFILE* file) {
    std::string message = sf_strerror(file);
    while (!message.empty() &&
           (message.back() == '.' || message.back() == ' ' || message.back() == '\n'))
        message.pop_back();
    return message;
}

// The decimal number that starts at text[at], if any.
std::optional<long long> numberAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) return std::nullopt;
    long long value = 0;
    auto [ptr, ec] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (ec != std::errc() || ptr == text.data() + at) return std::nullopt;
    return value;
}

} // namespace

std::optional<long long> promisedByHeader(std::string_view log, long long frames) {
    std::optional<long long> promised;
    auto claim = [&](std::optional<long long> count) {
        if (count && *count > frames && (!promised || *count > *promised)) promised = count;
    };
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find('\n', start);
        if (end == std::string_view::npos) end = log.size();
        std::string_view line = log.substr(start, end - start);
        start = end + 1;
        // A data chunk longer than the file: "data : 661500 (should be 50272)".
        constexpr std::string_view kShouldBe = " (should be ";
        if (line.rfind("data ", 0) == 0 || line.rfind("SSND ", 0) == 0) {
            std::size_t colon = line.find(": "), should = line.find(kShouldBe);
            if (colon == std::string_view::npos || should == std::string_view::npos) continue;
            std::optional<long long> stated = numberAt(line, colon + 2);
            std::optional<long long> actual = numberAt(line, should + kShouldBe.size());
            if (stated && actual && *actual > 0 && *stated > *actual)
                claim(std::llround(static_cast<double>(frames) * static_cast<double>(*stated) /
                                   static_cast<double>(*actual)));
            continue;
        }
        // A frame count in the header: "... from 'COMM' chunk (308700) ..." and "... from
        // 'ds64' chunk of 308700."
        for (std::string_view marker : {"from 'COMM' chunk (", "from 'ds64' chunk of "})
            if (std::size_t at = line.find(marker); at != std::string_view::npos)
                claim(numberAt(line, at + marker.size()));
    }
    return promised;
}

// ---- input

std::unique_ptr<SoundFileSource> SoundFileSource::open(const std::string& path,
                                                       std::string& error) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        error = "cannot read " + inQuotes(path) + ": no such file";
        return nullptr;
    }
    if (fs::is_directory(status)) {
        error = "cannot read " + inQuotes(path) + ": it is a directory";
        return nullptr;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        error = "cannot read " + inQuotes(path) + ": " + std::strerror(errno);
        return nullptr;
    }

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        error = "cannot read " + inQuotes(path) + ": not an audio file this tool reads (" +
                sndfileMessage(nullptr) + ")";
        return nullptr;
    }
    std::unique_ptr<SoundFileSource> source(new SoundFileSource());
    source->file = file;
    source->path = path;
    source->channelCount = info.channels;
    source->rate = static_cast<double>(info.samplerate);
    if (info.frames >= 0 && info.frames < SF_COUNT_MAX) source->frames = info.frames;
    if (source->frames) {
        char log[8192] = {};
        sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
        log[sizeof log - 1] = '\0';
        source->promised = promisedByHeader(log, *source->frames);
    }

    if (info.channels < 1 || info.channels > 2) {
        error = inQuotes(path) + " has " + std::to_string(info.channels) +
                " channels; only mono and stereo input is supported";
        return nullptr;
    }
    if (source->rate < kMinRateHz || source->rate > kMaxRateHz) {
        error = inQuotes(path) + " has a sample rate of " + std::to_string(info.samplerate) +
                " Hz; the effect runs at " + formatFixed(kMinRateHz, 0) + " to " +
                formatFixed(kMaxRateHz, 0) + " Hz";
        return nullptr;
    }
    return source;
}

SoundFileSource::~SoundFileSource() {
    if (file != nullptr) sf_close(file);
}

long long SoundFileSource::read(float* left, float* right, long long count, std::string& error) {
    if (count <= 0 || file == nullptr) return 0;
    interleaved.resize(static_cast<std::size_t>(count * channelCount));
    sf_count_t n = sf_readf_float(file, interleaved.data(), count);
    if (n < count && sf_error(file) != SF_ERR_NO_ERROR) {
        error = "reading " + inQuotes(path) + " failed: " + sndfileMessage(file);
        n = std::max<sf_count_t>(n, 0);
    }
    for (sf_count_t i = 0; i < n; ++i) {
        left[i] = interleaved[static_cast<std::size_t>(i * channelCount)];
        if (channelCount == 2) right[i] = interleaved[static_cast<std::size_t>(2 * i + 1)];
    }
    return n;
}

// ---- output

bool SoundFileSink::checkOutputPath(const std::string& path, SampleFormat format,
                                    std::string& error) {
    std::string ext = lowerExtension(path);
    if (ext != ".wav" && ext != ".flac") {
        error = "cannot write " + inQuotes(path) + ": the output must be a .wav or .flac file";
        return false;
    }
    if (ext == ".flac" && format == SampleFormat::float32) {
        error = "cannot write " + inQuotes(path) +
                ": FLAC holds no 32-bit float samples (use --format 24 or a .wav file)";
        return false;
    }
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        error = "cannot write " + inQuotes(path) + ": it is a directory";
        return false;
    }
    return true;
}

std::unique_ptr<SoundFileSink> SoundFileSink::create(const std::string& path, double sampleRate,
                                                     SampleFormat format,
                                                     std::optional<long long> maxFrames,
                                                     std::string& error) {
    if (!checkOutputPath(path, format, error)) return nullptr;

    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = 2;
    info.format = outputFormat(path, format, maxFrames);
    if (!sf_format_check(&info)) {
        error = "cannot write " + inQuotes(path) + ": libsndfile cannot write this format at " +
                std::to_string(info.samplerate) + " Hz";
        return nullptr;
    }

    // A hidden temporary beside the output, so the final rename stays on one file system.
    fs::path target(path);
    fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string stem = "." + target.filename().string() + ".partial-" + std::to_string(getpid());
    int fd = -1;
    std::string temp;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = (dir / (stem + "-" + std::to_string(attempt))).string();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = "cannot write " + inQuotes(path) + ": " + std::strerror(errno);
        return nullptr;
    }

    std::unique_ptr<SoundFileSink> sink(new SoundFileSink());
    sink->path = path;
    sink->tempPath = temp;
    sink->file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (sink->file == nullptr) {
        ::close(fd);
        error = "cannot write " + inQuotes(path) + ": " + sndfileMessage(nullptr);
        return nullptr; // the destructor removes the temporary
    }
    // Samples beyond full scale are clipped, not wrapped, in integer formats.
    sf_command(sink->file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64)
        sf_command(sink->file, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    sf_set_string(sink->file, SF_STR_SOFTWARE, kSoftwareString);
    return sink;
}

bool SoundFileSink::writtenByThisTool(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return false;
    const char* software = sf_get_string(file, SF_STR_SOFTWARE);
    // libsndfile adds its own name and version after ours.
    const std::size_t length = std::strlen(kSoftwareString);
    bool ours = software != nullptr && std::strncmp(software, kSoftwareString, length) == 0 &&
                (software[length] == '\0' || software[length] == ' ');
    sf_close(file);
    return ours;
}

SoundFileSink::~SoundFileSink() {
    if (!committed) discard();
}

void SoundFileSink::discard() {
    if (file != nullptr) sf_close(file);
    file = nullptr;
    if (!tempPath.empty()) ::unlink(tempPath.c_str());
}

bool SoundFileSink::write(const float* left, const float* right, long long frames,
                          std::string& error) {
    if (file == nullptr) {
        error = "cannot write " + inQuotes(path) + ": the file is closed";
        return false;
    }
    interleaved.resize(static_cast<std::size_t>(2 * frames));
    for (long long i = 0; i < frames; ++i) {
        interleaved[static_cast<std::size_t>(2 * i)] = left[i];
        interleaved[static_cast<std::size_t>(2 * i + 1)] = right[i];
    }
    if (sf_writef_float(file, interleaved.data(), frames) != frames) {
        error = "writing " + inQuotes(path) + " failed: " + sndfileMessage(file);
        return false;
    }
    return true;
}

bool SoundFileSink::commit(std::string& error) {
    if (file == nullptr) {
        error = "cannot write " + inQuotes(path) + ": the file is closed";
        return false;
    }
    int closeResult = sf_close(file);
    file = nullptr;
    if (closeResult != 0) {
        error = "writing " + inQuotes(path) + " failed: " + sf_error_number(closeResult);
        discard();
        return false;
    }
    if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
        error = "cannot write " + inQuotes(path) + ": " + std::strerror(errno);
        discard();
        return false;
    }
    committed = true;
    return true;
}

} // namespace cli
