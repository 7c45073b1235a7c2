// SPDX-License-Identifier: GPL-3.0-or-later
// The bank, preset and MIDI settings files byte by byte: exact layouts, refusals, names and
// values made safe. (Mutated files are fed through the load commands in PresetFileFuzzTest.)
#include "presets/FileFormats.h"
#include "presets/ControllerMap.h"
#include "support/FileBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Hand-built files (support/FileBytes.h), independent of the encoder. Values 0.25 and 0.5
// alternate, 1.0 last.
void appendKnownValues(Bytes& out) {
    for (int j = 0; j < 47; ++j) filebytes::f32(out, j % 2 == 0 ? 0.25f : 0.5f);
    filebytes::f32(out, 1.0f);
}

ProgramRecord knownProgram(const std::string& name) {
    ProgramRecord program{name, {}};
    for (int j = 0; j < 47; ++j) program.values[j] = j % 2 == 0 ? 0.25f : 0.5f;
    program.values[47] = 1.0f;
    return program;
}

Bytes handBuiltPreset(const std::string& name) {
    Bytes bytes;
    filebytes::header(bytes, 0x21);
    filebytes::name(bytes, name);
    appendKnownValues(bytes);
    return bytes;
}

Bytes handBuiltBank() {
    Bytes bytes;
    filebytes::header(bytes, 0x37);
    for (int i = 0; i < 61; ++i) {
        filebytes::name(bytes, "Prog " + std::to_string(i));
        appendKnownValues(bytes);
    }
    return bytes;
}

BankRecords knownBank() {
    BankRecords bank;
    for (int i = 0; i < 61; ++i) bank[i] = knownProgram("Prog " + std::to_string(i));
    return bank;
}

MidiControllerNumbers defaultControllers() {
    MidiControllerNumbers controllers;
    std::copy(std::begin(kDefaultControllers), std::end(kDefaultControllers), controllers.begin());
    return controllers;
}

Bytes handBuiltMidi(const MidiControllerNumbers& controllers) {
    Bytes bytes;
    filebytes::header(bytes, 0x0B);
    for (auto cc : controllers) filebytes::u32(bytes, static_cast<std::uint32_t>(cc));
    return bytes;
}

void expectSameProgram(const ProgramRecord& expected, const ProgramRecord& actual,
                       const std::string& where) {
    EXPECT_EQ(expected.name, actual.name) << where;
    for (int j = 0; j < 48; ++j)
        EXPECT_EQ(expected.values[j], actual.values[j]) << where << ", value " << j;
}

} // namespace

TEST(FileFormats, PresetEncodesToExactBytesAndDecodesBack) {
    auto program = knownProgram("Slow Tape");
    Bytes expected = handBuiltPreset("Slow Tape");
    ASSERT_EQ(expected.size(), 221u);
    EXPECT_EQ(encodePreset(program), expected) << "preset bytes differ from the file layout";

    auto decoded = decodePreset(expected);
    ASSERT_TRUE(decoded.ok()) << fileFormatMessage(decoded.error);
    expectSameProgram(program, decoded.value, "preset");
}

TEST(FileFormats, BankEncodesToExactBytesAndDecodesBack) {
    Bytes expected = handBuiltBank();
    ASSERT_EQ(expected.size(), 13181u);
    EXPECT_EQ(encodeBank(knownBank()), expected) << "bank bytes differ from the file layout";

    auto decoded = decodeBank(expected);
    ASSERT_TRUE(decoded.ok()) << fileFormatMessage(decoded.error);
    auto bank = knownBank();
    for (int i = 0; i < 61; ++i)
        expectSameProgram(bank[i], decoded.value[i], "program " + std::to_string(i));
}

TEST(FileFormats, MidiSettingsEncodeToExactBytesAndDecodeBack) {
    MidiControllerNumbers controllers = defaultControllers();
    controllers[5] = 999;
    controllers[6] = 127;
    Bytes expected = handBuiltMidi(controllers);
    ASSERT_EQ(expected.size(), 197u);
    EXPECT_EQ(expected[5 + 5 * 4], 0xE7) << "999 must be stored little-endian";
    EXPECT_EQ(expected[5 + 5 * 4 + 1], 0x03);
    EXPECT_EQ(encodeMidiSettings(controllers), expected);

    auto decoded = decodeMidiSettings(expected);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value, controllers);
}

TEST(FileFormats, MagicAndTypeDecideWhatLoadsAndWhatIsSaid) {
    Bytes preset = handBuiltPreset("Rev"), bank = handBuiltBank(),
          midi = handBuiltMidi(defaultControllers());
    EXPECT_EQ(fileFormatMessage(decodeBank(preset).error), "Not a bank file!");
    EXPECT_EQ(fileFormatMessage(decodeBank(midi).error), "Not a bank file!");
    EXPECT_EQ(fileFormatMessage(decodePreset(bank).error), "Not a preset file!");
    EXPECT_EQ(fileFormatMessage(decodeMidiSettings(preset).error), "Not a midi settings file!");
    EXPECT_EQ(fileFormatMessage(FileFormatError::none), "");

    Bytes scrambled = bank; // "WXTK"
    scrambled[1] = 'X';
    EXPECT_EQ(fileFormatMessage(decodeBank(scrambled).error), "Invalid file format!");
    Bytes halfReversed = preset; // "2WTK": neither order
    std::swap(halfReversed[0], halfReversed[1]);
    EXPECT_EQ(fileFormatMessage(decodePreset(halfReversed).error), "Invalid file format!");

    // "KT2W", the magic last byte first, loads banks and presets but not MIDI settings.
    for (Bytes* file : {&bank, &preset, &midi}) std::reverse(file->begin(), file->begin() + 4);
    EXPECT_TRUE(decodeBank(bank).ok());
    EXPECT_EQ(decodePreset(preset).value.name, "Rev");
    EXPECT_EQ(fileFormatMessage(decodeMidiSettings(midi).error), "Invalid file format!");
}

TEST(FileFormats, TwentyFourCharacterNameHasNoNulAndReadsBackUnchanged) {
    const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWX";
    ASSERT_EQ(name.size(), 24u);
    Bytes bytes = encodePreset(knownProgram(name));
    for (int i = 5; i < 29; ++i) EXPECT_NE(bytes[i], 0) << "name byte " << i - 5 << " is NUL";
    EXPECT_EQ(bytes[29], 0x00) << "first value starts right after the name";
    EXPECT_EQ(decodePreset(bytes).value.name, name);

    Bytes longer = encodePreset(knownProgram(name + "YZ"));
    EXPECT_EQ(longer, bytes) << "a longer name is cut to 24 characters";
}

TEST(FileFormats, NameEndsAtItsFirstNul) {
    Bytes bytes = handBuiltPreset("Abc");
    bytes[5 + 4] = 'z'; // garbage after the NUL
    bytes[5 + 20] = 'q';
    EXPECT_EQ(decodePreset(bytes).value.name, "Abc");

    ProgramRecord embedded = knownProgram(std::string("Ab\0cd", 5));
    EXPECT_EQ(encodePreset(embedded), handBuiltPreset("Ab")) << "written as a C string";
}

TEST(FileFormats, ValuesAreMadeSafeOnLoading) {
    Bytes bytes = handBuiltPreset("Odd");
    auto setValue = [&bytes](int j, float v) {
        auto word = std::bit_cast<std::uint32_t>(v);
        for (int b = 0; b < 4; ++b)
            bytes[29 + 4 * j + b] = static_cast<std::uint8_t>(word >> 8 * b);
    };
    setValue(0, 1.5f);
    setValue(1, std::numeric_limits<float>::quiet_NaN());
    setValue(2, std::numeric_limits<float>::infinity());
    setValue(3, -std::numeric_limits<float>::infinity());
    setValue(4, -0.25f);
    setValue(5, -0.0f);
    setValue(6, std::numeric_limits<float>::denorm_min());
    auto decoded = decodePreset(bytes);
    ASSERT_TRUE(decoded.ok());
    const auto& v = decoded.value.values;
    EXPECT_EQ(v[0], 1.0f) << "1.5 loads as 1.0";
    EXPECT_EQ(v[1], 0.0f) << "NaN loads as 0";
    EXPECT_EQ(v[2], 1.0f) << "+inf loads as 1, as the clamp says";
    EXPECT_EQ(v[3], 0.0f) << "-inf loads as 0";
    EXPECT_EQ(v[4], 0.0f) << "negative values clamp to 0";
    EXPECT_FALSE(std::signbit(v[5])) << "-0 loads as +0";
    EXPECT_EQ(v[6], std::numeric_limits<float>::denorm_min()) << "in-range values are kept";
    EXPECT_EQ(v[7], 0.5f);
}

TEST(FileFormats, TruncatedFilesAreRefusedAtEveryLength) {
    Bytes bank = handBuiltBank(), preset = handBuiltPreset("T"),
          midi = handBuiltMidi(defaultControllers());
    for (std::size_t n = 0; n < bank.size(); ++n) {
        auto result = decodeBank(std::span(bank).first(n));
        ASSERT_EQ(result.error, FileFormatError::invalidFormat) << "bank cut to " << n << " bytes";
    }
    for (std::size_t n = 0; n < preset.size(); ++n)
        ASSERT_EQ(decodePreset(std::span(preset).first(n)).error, FileFormatError::invalidFormat)
            << "preset cut to " << n << " bytes";
    for (std::size_t n = 0; n < midi.size(); ++n)
        ASSERT_EQ(decodeMidiSettings(std::span(midi).first(n)).error,
                  FileFormatError::invalidFormat)
            << "MIDI settings cut to " << n << " bytes";
}

TEST(FileFormats, TrailingBytesAfterTheFormatAreIgnored) {
    Bytes preset = handBuiltPreset("Tail");
    preset.insert(preset.end(), {1, 2, 3, 4, 5});
    auto decoded = decodePreset(preset);
    ASSERT_TRUE(decoded.ok());
    expectSameProgram(knownProgram("Tail"), decoded.value, "preset with trailing bytes");

    Bytes midi = handBuiltMidi(defaultControllers());
    midi.push_back(0xFF);
    EXPECT_TRUE(decodeMidiSettings(midi).ok());
}
