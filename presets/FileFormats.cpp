// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/FileFormats.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint8_t kMagic[4] = {'W', '2', 'T', 'K'};

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t getU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void putHeader(std::vector<std::uint8_t>& out, std::uint8_t type) {
    out.insert(out.end(), kMagic, kMagic + 4);
    out.push_back(type);
}

void putRecord(std::vector<std::uint8_t>& out, const ProgramRecord& program) {
    // As a C string: up to the first NUL, at most 24 bytes, zero-filled.
    std::size_t length = std::min(std::strlen(program.name.c_str()), kFileNameBytes);
    out.insert(out.end(), program.name.begin(), program.name.begin() + static_cast<long>(length));
    out.insert(out.end(), kFileNameBytes - length, std::uint8_t{0});
    for (float v : program.values) putU32(out, std::bit_cast<std::uint32_t>(v));
}

// NaN loads as 0; every other value, the infinities included, is clamped to [0, 1].
float safeValue(float v) {
    if (std::isnan(v)) return 0.0f;
    return v > 0.0f ? std::min(v, 1.0f) : 0.0f;
}

ProgramRecord getRecord(const std::uint8_t* p) {
    ProgramRecord program;
    std::size_t length = 0;
    while (length < kFileNameBytes && p[length] != 0) ++length;
    program.name.assign(reinterpret_cast<const char*>(p), length);
    p += kFileNameBytes;
    for (auto& v : program.values) {
        v = safeValue(std::bit_cast<float>(getU32(p)));
        p += 4;
    }
    return program;
}

bool magicInFileOrder(std::span<const std::uint8_t, 4> magic) {
    return std::equal(kMagic, kMagic + 4, magic.begin());
}

// Also last byte first: a writer that stored the magic as a number of the other byte order.
bool magicInEitherOrder(std::span<const std::uint8_t, 4> magic) {
    return magicInFileOrder(magic) || std::equal(kMagic, kMagic + 4, magic.rbegin());
}

// Magic, then type, then length: a file of another kind is named as such even when it is
// shorter than the expected format.
FileFormatError checkHeader(std::span<const std::uint8_t> bytes, bool acceptReversed,
                            std::uint8_t type, FileFormatError wrongType, std::size_t size) {
    if (bytes.size() < 4) return FileFormatError::invalidFormat;
    auto magic = bytes.first<4>();
    if (!(acceptReversed ? magicInEitherOrder(magic) : magicInFileOrder(magic)))
        return FileFormatError::invalidFormat;
    if (bytes.size() < kFileHeaderBytes) return FileFormatError::invalidFormat;
    if (bytes[4] != type) return wrongType;
    if (bytes.size() < size) return FileFormatError::invalidFormat;
    return FileFormatError::none;
}

} // namespace

std::string_view fileFormatMessage(FileFormatError error) {
    switch (error) {
    case FileFormatError::none:
        return {};
    case FileFormatError::invalidFormat:
        return "Invalid file format!";
    case FileFormatError::notBank:
        return "Not a bank file!";
    case FileFormatError::notPreset:
        return "Not a preset file!";
    case FileFormatError::notMidiSettings:
        return "Not a midi settings file!";
    }
    return {};
}

std::vector<std::uint8_t> encodeBank(const BankRecords& programs) {
    std::vector<std::uint8_t> out;
    out.reserve(kBankFileBytes);
    putHeader(out, kBankFileType);
    for (const auto& program : programs) putRecord(out, program);
    return out;
}

std::vector<std::uint8_t> encodePreset(const ProgramRecord& program) {
    std::vector<std::uint8_t> out;
    out.reserve(kPresetFileBytes);
    putHeader(out, kPresetFileType);
    putRecord(out, program);
    return out;
}

std::vector<std::uint8_t> encodeMidiSettings(const MidiControllerNumbers& controllers) {
    std::vector<std::uint8_t> out;
    out.reserve(kMidiFileBytes);
    putHeader(out, kMidiFileType);
    for (std::int32_t cc : controllers) putU32(out, static_cast<std::uint32_t>(cc));
    return out;
}

Decoded<BankRecords> decodeBank(std::span<const std::uint8_t> bytes) {
    Decoded<BankRecords> result;
    result.error =
        checkHeader(bytes, true, kBankFileType, FileFormatError::notBank, kBankFileBytes);
    if (!result.ok()) return result;
    const std::uint8_t* p = bytes.data() + kFileHeaderBytes;
    for (auto& program : result.value) {
        program = getRecord(p);
        p += kProgramRecordBytes;
    }
    return result;
}

Decoded<ProgramRecord> decodePreset(std::span<const std::uint8_t> bytes) {
    Decoded<ProgramRecord> result;
    result.error =
        checkHeader(bytes, true, kPresetFileType, FileFormatError::notPreset, kPresetFileBytes);
    if (result.ok()) result.value = getRecord(bytes.data() + kFileHeaderBytes);
    return result;
}

Decoded<MidiControllerNumbers> decodeMidiSettings(std::span<const std::uint8_t> bytes) {
    Decoded<MidiControllerNumbers> result;
    result.error =
        checkHeader(bytes, false, kMidiFileType, FileFormatError::notMidiSettings, kMidiFileBytes);
    if (!result.ok()) return result;
    const std::uint8_t* p = bytes.data() + kFileHeaderBytes;
    for (auto& cc : result.value) {
        cc = static_cast<std::int32_t>(getU32(p));
        p += 4;
    }
    return result;
}
