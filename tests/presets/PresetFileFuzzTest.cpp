// SPDX-License-Identifier: GPL-3.0-or-later
// Mutated bank, preset and MIDI settings files fed through the load commands: never a
// crash, and either the whole file is taken or nothing changes. Seeded, so repeatable.
#include "engine/Drell.h"
#include "presets/PresetFileCommands.h"
#include "support/FakeServices.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes validFile(std::uint8_t type, int records, std::mt19937& random) {
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    Bytes out;
    filebytes::header(out, type);
    if (type == kMidiFileType) {
        for (int p = 0; p < kNumParams; ++p) filebytes::u32(out, random() % 130);
        return out;
    }
    for (int i = 0; i < records; ++i) {
        filebytes::name(out, "Fuzz " + std::to_string(random() % 1000));
        for (int j = 0; j < kNumParams; ++j) filebytes::f32(out, value(random));
    }
    return out;
}

// One to four random edits: bit flips, truncation, insertion, erasure, random words.
Bytes mutate(Bytes bytes, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
        const std::size_t at = random() % bytes.size();
        switch (random() % 5) {
        case 0:
            bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            break;
        case 1:
            bytes.resize(at); // truncated
            break;
        case 2:
            bytes.insert(bytes.begin() + static_cast<long>(at),
                         static_cast<std::uint8_t>(random()));
            break;
        case 3:
            bytes.erase(bytes.begin() + static_cast<long>(at));
            break;
        default: // a random value in the body: NaN, infinity or huge numbers appear
            for (std::size_t k = at - at % 4; k < bytes.size() && k < at - at % 4 + 4; ++k)
                bytes[k] = static_cast<std::uint8_t>(random());
            break;
        }
    }
    return bytes;
}

// A new file each time: truncating a freshly written file would make the file system wait
// for the old data to reach the disk.
void writeBytes(const std::string& path, const Bytes& bytes) {
    std::remove(path.c_str());
    TempFolder::writeText(path, std::string(bytes.begin(), bytes.end()));
}

} // namespace

TEST(PresetFileFuzz, MutatedFilesLoadWhollyOrNotAtAll) {
    TempFolder folder;
    FakeServices fakes;
    Drell effect(nullptr, fakes.services());
    PresetFileCommands commands(effect);
    const std::string path = folder / "fuzz";
    std::mt19937 random(20240611u);

    struct Kind {
        std::uint8_t type;
        int records;
        void (PresetFileCommands::*load)(std::uint64_t);
    };
    const Kind kinds[] = {{kBankFileType, 61, &PresetFileCommands::loadBank},
                          {kPresetFileType, 1, &PresetFileCommands::loadPreset},
                          {kMidiFileType, 0, &PresetFileCommands::loadMidiSettings}};
    int loaded = 0, refused = 0;
    for (int round = 0; round < 600; ++round) {
        const Kind& kind = kinds[round % 3];
        const Bytes bytes = mutate(validFile(kind.type, kind.records, random), random);
        writeBytes(path, bytes);
        effect.selectProgram(static_cast<VstInt32>(random() % kNumPrograms));
        const EffectSnapshot before(effect);
        const std::size_t messagesBefore = fakes.messages.shown.size();

        fakes.choose(path);
        (commands.*kind.load)(0);
        commands.waitForDialog();

        const EffectSnapshot after(effect);
        const bool refusedNow = fakes.messages.shown.size() > messagesBefore;
        if (refusedNow) {
            ++refused;
            ASSERT_TRUE(after == before) << "round " << round << ": a refused file changed state";
            continue;
        }
        ++loaded;
        // Taken whole: every program the file covers holds exactly the decoded content.
        for (float v : after.values) ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << "round " << round;
        if (kind.type == kBankFileType) {
            auto bank = decodeBank(bytes);
            ASSERT_TRUE(bank.ok()) << "round " << round;
            for (int i = 0; i < kNumPrograms; ++i) {
                ASSERT_EQ(after.names[i], bank.value[i].name.substr(0, 24)) << "round " << round;
                for (int j = 0; j < kNumParams; ++j)
                    ASSERT_EQ(after.values[i * kNumParams + j], bank.value[i].values[j])
                        << "round " << round << " program " << i << " value " << j;
            }
        } else if (kind.type == kPresetFileType) {
            auto preset = decodePreset(bytes);
            ASSERT_TRUE(preset.ok()) << "round " << round;
            const int current = before.currentProgram;
            ASSERT_EQ(after.names[current], preset.value.name.substr(0, 24)) << "round " << round;
            for (int j = 0; j < kNumParams; ++j)
                ASSERT_EQ(after.values[current * kNumParams + j], preset.value.values[j]);
        } else {
            auto midi = decodeMidiSettings(bytes);
            ASSERT_TRUE(midi.ok()) << "round " << round;
            ASSERT_TRUE(after.names == before.names && after.values == before.values);
        }
    }
    // Both outcomes must have been exercised for the test to mean anything.
    EXPECT_GT(loaded, 50);
    EXPECT_GT(refused, 50);
}
