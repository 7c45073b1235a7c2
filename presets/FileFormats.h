// SPDX-License-Identifier: GPL-3.0-or-later
// The bank (.dlb), preset (.dlp) and MIDI settings (.dlm) files, encoded and decoded over
// plain data. All three start with the magic "W2TK" and a type byte; numbers are
// little-endian, parameter values 32-bit IEEE floats. A program record is a 24-byte name
// (NUL-terminated when shorter, zero-filled) followed by 48 values.
//
// Decoding never reads past the given bytes: a file that ends before its last record is
// refused as an invalid format and nothing is taken from it. Bytes after the end of the
// format are ignored, so files with trailing data written by other tools still load.
// Decoded values are made safe: a non-finite value becomes 0, others are clamped to [0, 1].
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kFileNameBytes = 24;
inline constexpr std::size_t kFileParams = 48;
inline constexpr std::size_t kFilePrograms = 61;
inline constexpr std::size_t kFileHeaderBytes = 5;
inline constexpr std::size_t kProgramRecordBytes = kFileNameBytes + 4 * kFileParams; // 216
inline constexpr std::size_t kBankFileBytes =
    kFileHeaderBytes + kFilePrograms * kProgramRecordBytes;
inline constexpr std::size_t kPresetFileBytes = kFileHeaderBytes + kProgramRecordBytes;
inline constexpr std::size_t kMidiFileBytes = kFileHeaderBytes + 4 * kFileParams;
static_assert(kBankFileBytes == 13181 && kPresetFileBytes == 221 && kMidiFileBytes == 197);

inline constexpr std::uint8_t kBankFileType = 0x37;
inline constexpr std::uint8_t kPresetFileType = 0x21;
inline constexpr std::uint8_t kMidiFileType = 0x0B;

struct ProgramRecord {
    std::string name; // at most 24 bytes are stored; a NUL ends it early
    std::array<float, kFileParams> values{};
};
using BankRecords = std::array<ProgramRecord, kFilePrograms>;
// Controller number of each sound parameter: 0..127, or 999 for none. Other numbers are
// carried through unchanged; the controller map decides what they mean.
using MidiControllerNumbers = std::array<std::int32_t, kFileParams>;

enum class FileFormatError { none, invalidFormat, notBank, notPreset, notMidiSettings };

// The message shown for an error: "Invalid file format!", "Not a bank file!", "Not a preset
// file!", "Not a midi settings file!"; empty for none.
std::string_view fileFormatMessage(FileFormatError error);

template <typename T>
struct Decoded {
    FileFormatError error = FileFormatError::none;
    T value{}; // meaningful only when ok()
    bool ok() const { return error == FileFormatError::none; }
};

std::vector<std::uint8_t> encodeBank(const BankRecords& programs);
std::vector<std::uint8_t> encodePreset(const ProgramRecord& program);
std::vector<std::uint8_t> encodeMidiSettings(const MidiControllerNumbers& controllers);

// Bank and preset files accept the magic in file order or reversed; MIDI settings files
// only in file order.
Decoded<BankRecords> decodeBank(std::span<const std::uint8_t> bytes);
Decoded<ProgramRecord> decodePreset(std::span<const std::uint8_t> bytes);
Decoded<MidiControllerNumbers> decodeMidiSettings(std::span<const std::uint8_t> bytes);
