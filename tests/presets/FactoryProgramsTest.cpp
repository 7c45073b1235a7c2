// The factory bank: its naming and value rules on every row, the four reference rows, how
// the host sees the bank, and a bounded, audible output from every program.
#include "presets/FactoryPrograms.h"
#include "engine/Drell.h"
#include "testhost/TestHost.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::array<const char*, kNumPrograms> kNames = {
    "*Init",
    "1 4 Feedback",
    "1 4 Feedback LP",
    "1 4 Feedback->C",
    "1 4 Single",
    "1 4 Single LP",
    "1 4-1 8 Feedback->R",
    "1 6-1 12 Feedback",
    "1 4-1 8 X-talk",
    "1 8 Feedback",
    "1 8 Feedback BP",
    "1 8 Single",
    "3 16 Feedback ",
    "3 16 Feedback HP",
    "3 16 Single",
    "3 16-1 8 X-talk",
    "1 8-1 12 Feedback",
    "1 12 Feedback",
    "1 4 Bounce",
    "1 8 Bounce",
    "Synesthesia",
    "Doubler Rough",
    "Doubler Stereo",
    "Doubler Verb",
    "Mental Illness",
    "Flanger Light",
    "Spitsbergen",
    "Splasher",
    "Takeawalk",
    "Satori",
    "Gasherbrum Four",
    "Seti",
    "Hollow",
    "Sarawak",
    "South Pole",
    "Deja Vu",
    "Panner",
    "Shimoni Caves",
    "Hissteria",
    "Nanobot",
    "Dub Hit",
    "Claustrophoby",
    "Warm Slapback",
    "Wow Tape",
    "Loose And Lazy",
    "Dropper",
    "Transmitter",
    "Inertia",
    "Dylatation",
    "Rain Forest",
    "Helium",
    "Angry Birds",
    "Drum Filter",
    "Drunken Tape",
    "Haunted Playground",
    "Overload",
    "Psyched",
    "Pink Is Dotty",
    "Quixotrambolones",
    "Into The Sunset",
    "Piano Case",
};

using Row = std::array<double, kNumParams>;

// The four rows that are fixed value by value, eight values to a line.
// clang-format off
constexpr Row kInitRow = {
    0.5,      0.5,      0.5,      0,        0,        0,        1,        0.25,
    0.25,     0.1,      0.5,      0.5,      1,        0.5,      0.166667, 1,
    0,        0.5,      0.5,      0.25,     0.25,     0,        0,        0.166667,
    0.25,     0.25,     0.1,      0.1,      0,        0,        0.833334, 0.833334,
    0.25,     0.1,      0,        0.4,      0.4,      0,        0,        0,
    0.5,      0,        0,        0,        0,        1,        0,        0.5};
constexpr Row kQuarterFeedbackRow = {
    0.50625,  0.5,      0.31625,  0.24,     0.24,     0,        1,        0.25,
    0.25,     0.1,      0.5,      0.5,      1,        0.5,      0.166667, 1,
    0,        0.5,      0.5,      0.25,     0.25,     0.5,      0,        0.166667,
    0.75,     0.75,     0.1,      0.1,      0.269231, 0.269231, 0.5,      0.5,
    0.25,     0.1,      0,        0.5,      0.5,      0,        0,        0.1,
    0.5,      0,        0,        0,        0,        0,        0,        0.5};
constexpr Row kDoublerStereoRow = {
    0.51125,  0.5,      0.5,      0.347917, 0.347917, 0.50875,  0.49125,  0.25,
    0.25,     0.1,      0.188722, 0.215,    0.197083, 0.525833, 0.166667, 0.393333,
    0.604167, 0.5,      0.782917, 0.25,     0.25,     0.42625,  0,        0.166667,
    0.25,     0.25,     0.3,      0.3,      0.576923, 0.576923, 0.166667, 0.166667,
    0.75,     0.1,      0,        0.046,    0.046,    0,        0,        0.1,
    0.5,      0,        0,        0,        0.5,      0.5,      0,        0.42625};
constexpr Row kPianoCaseRow = {
    0.5,      0.5,      1,        0.796267, 0.796267, 0,        1,        0.25,
    0.25,     0.3,      0.701839, 0.037499, 0.968405, 0.948014, 0.833334, 0.23001,
    0.333333, 0.744583, 1,        0.25,     0.25,     0.120264, 0.644444, 0.166667,
    0.25,     0.25,     0.1,      0.1,      0.961538, 0.961538, 0.166667, 0.166667,
    0.75,     0.3,      0.653846, 0.2,      0.2,      0.5,      0.5,      0.34217,
    0.166667, 0,        0.5,      0.5,      0.5,      0.5,      0.5,      0.120264};
// clang-format on

// The engine's note tables, which the stepped note values index.
constexpr int kDlyNumTable[5] = {1, 3, 5, 7, 9};
constexpr int kDenTable[13] = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96};

constexpr ParameterId kSections[5] = {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn};

float f(double v) {
    return static_cast<float>(v);
}

bool oneOf(float v, std::initializer_list<double> allowed) {
    for (double a : allowed)
        if (v == f(a)) return true;
    return false;
}

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The stored values every stepped parameter may take: the centre of one of its steps, as
// the table writes it, or 0 for the first step where the bank uses that.
void expectSteppedValuesAtCentres(const CProgram& p, int k) {
    const std::string where = "program " + std::to_string(k) + " \"" + kNames[k] + "\", ";
    for (ParameterId id :
         {kDlyLFbInv, kDlyRFbInv, kDlyLDlyInv, kDlyRDlyInv, kDlyLMode, kDlyRMode, kModLfoMode})
        EXPECT_TRUE(oneOf(p.getParameter(id), {0.25, 0.75}))
            << where << kParameterTable[id].name << " is off its step centre";
    for (ParameterId id : {kFltType, kFltMode, kDlyLRange, kDlyRRange})
        EXPECT_TRUE(oneOf(p.getParameter(id), {0.166667, 0.5, 0.833334}))
            << where << kParameterTable[id].name << " is off its step centre";
    for (ParameterId id : {kModLfoWave, kDlyLNum, kDlyRNum, kModLfoNum})
        EXPECT_TRUE(oneOf(p.getParameter(id), {0.1, 0.3, 0.5, 0.7, 0.9}))
            << where << kParameterTable[id].name << " is off its step centre";
    for (ParameterId id : {kDlyLDen, kDlyRDen, kModLfoDen}) {
        float v = p.getParameter(id);
        bool ok = v == 0.0f;
        for (int i = 0; i < 13; ++i) ok = ok || v == f(std::round((i + 0.5) / 13.0 * 1e6) / 1e6);
        EXPECT_TRUE(ok) << where << kParameterTable[id].name << " is off its step centre";
    }
    for (ParameterId id : {kFltOn, kDrvOn, kModOn, kVcoOn, kRvbOn, kRvbMode, kRvbType}) {
        if (k == 0 && id == kVcoOn) continue;
        EXPECT_TRUE(oneOf(p.getParameter(id), {0.0, 0.5}))
            << where << kParameterTable[id].name << " must be 0 or 0.5";
    }
    EXPECT_EQ(p.getParameter(kMainBypass), 0.0f) << where << "bypass must be off";
}

struct NoteValue {
    int num, den;
};

// "1 4-1 8 X-talk" gives 1/4 left and 1/8 right; "3 16 Single" 3/16 on both sides.
std::array<NoteValue, 2> noteValuesOf(std::string_view name) {
    auto number = [&](std::size_t& at) {
        int v = 0;
        auto [end, ec] = std::from_chars(name.data() + at, name.data() + name.size(), v);
        at = static_cast<std::size_t>(end - name.data());
        return ec == std::errc() ? v : -1;
    };
    std::size_t at = 0;
    NoteValue left{number(at), 0};
    ++at; // the blank
    left.den = number(at);
    NoteValue right = left;
    if (at < name.size() && name[at] == '-') {
        ++at;
        right.num = number(at);
        ++at;
        right.den = number(at);
    }
    return {left, right};
}

void expectTempoEchoRules(const CProgram& p, int k) {
    const std::string_view name = kNames[k];
    const std::string where = "program " + std::to_string(k) + " \"" + std::string(name) + "\", ";
    EXPECT_EQ(p.getParameter(kDlyLMode), 0.75f) << where << "left line must be in note mode";
    EXPECT_EQ(p.getParameter(kDlyRMode), 0.75f) << where << "right line must be in note mode";

    auto notes = noteValuesOf(name);
    // A bounce alternates the sides at its note value: the right line runs at twice it.
    if (name.find("Bounce") != std::string_view::npos) notes[1].den /= 2;
    const ParameterId nums[2] = {kDlyLNum, kDlyRNum}, dens[2] = {kDlyLDen, kDlyRDen};
    for (int s = 0; s < 2; ++s) {
        float num = p.getParameter(nums[s]), den = p.getParameter(dens[s]);
        EXPECT_EQ(kDlyNumTable[step(num, 5)], notes[s].num) << where << "side " << s;
        EXPECT_EQ(kDenTable[step(den, 13)], notes[s].den) << where << "side " << s;
        EXPECT_TRUE(oneOf(num, {0.1, 0.3})) << where << "numerator " << num;
        EXPECT_TRUE(oneOf(den, {0.115385, 0.269231, 0.346154, 0.423077, 0.5, 0.576923}))
            << where << "denominator " << den;
    }

    const bool filtered = endsWith(name, "LP") || endsWith(name, "BP") || endsWith(name, "HP");
    for (ParameterId id : kSections) {
        if (id == kFltOn) continue;
        EXPECT_EQ(p.getParameter(id), 0.0f) << where << kParameterTable[id].name << " is on";
    }
    EXPECT_EQ(p.getParameter(kFltOn), filtered ? 0.5f : 0.0f) << where << "filter switch";
    if (filtered) {
        const double type = endsWith(name, "LP") ? 0.166667 : endsWith(name, "BP") ? 0.5 : 0.833334;
        EXPECT_EQ(p.getParameter(kFltType), f(type)) << where << "filter type";
    }

    if (name.find("Single") != std::string_view::npos) {
        EXPECT_EQ(p.getParameter(kDlyLFb), 0.0f) << where << "a single echo has no feedback";
        EXPECT_EQ(p.getParameter(kDlyRFb), 0.0f) << where << "a single echo has no feedback";
    }
    if (name.find("Feedback") != std::string_view::npos) {
        EXPECT_GT(p.getParameter(kDlyLFb), 0.0f) << where << "left feedback missing";
        EXPECT_GT(p.getParameter(kDlyRFb), 0.0f) << where << "right feedback missing";
    }

    if (k > 17) return; // the bounces route freely
    const float panL = p.getParameter(kDlyLFbPan), panR = p.getParameter(kDlyRFbPan);
    if (name.find("X-talk") != std::string_view::npos) {
        EXPECT_GE(panL, 0.77f) << where << "X-talk must cross the left feedback";
        EXPECT_EQ(panR, 0.0f) << where << "X-talk must cross the right feedback";
    } else if (endsWith(name, "->C")) {
        EXPECT_EQ(panL, f(0.5075)) << where << "->C sends the left feedback to the centre";
        EXPECT_EQ(panR, f(0.4925)) << where << "->C sends the right feedback to the centre";
    } else if (endsWith(name, "->R")) {
        EXPECT_EQ(panL, 1.0f) << where << "->R sends the left feedback right";
        EXPECT_EQ(panR, 1.0f) << where << "->R sends the right feedback right";
    } else {
        EXPECT_LE(panL, 0.006f) << where << "left feedback must stay left";
        EXPECT_EQ(panR, 1.0f) << where << "right feedback must stay right";
    }
}

void expectEffectRules(const CProgram& p, int k) {
    const std::string_view name = kNames[k];
    const std::string where = "program " + std::to_string(k) + " \"" + std::string(name) + "\", ";
    int on = 0;
    for (ParameterId id : kSections) on += p.getParameter(id) == 0.5f ? 1 : 0;
    EXPECT_GE(on, 1) << where << "switches no section on";
    const bool noModulation = name == "Warm Slapback" || name == "Drum Filter";
    EXPECT_EQ(p.getParameter(kModOn), noModulation ? 0.0f : 0.5f) << where << "modulation switch";
    if (name == "Piano Case" || name == "Overload") {
        EXPECT_EQ(on, 5) << where << "runs all sections";
    }
}

void expectRow(const CProgram& p, const Row& row, int k) {
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_EQ(p.getParameter(static_cast<std::uint32_t>(i)), f(row[static_cast<size_t>(i)]))
            << "program " << k << ", " << kParameterTable[i].name;
}

} // namespace

TEST(FactoryBank, TableFollowsTheFillRules) {
    for (int k = 0; k < kNumPrograms; ++k) {
        const FactoryProgram& row = kFactoryPrograms[k];
        EXPECT_STREQ(row.name, kNames[static_cast<size_t>(k)]) << "program " << k;
        EXPECT_LE(std::strlen(row.name), 24u) << "program " << k << " name too long";
        for (int i = 0; i < kNumParams; ++i) {
            double v = row.values[i];
            EXPECT_TRUE(v >= 0.0 && v <= 1.0)
                << "program " << k << ", parameter " << i << ": " << v;
            EXPECT_NEAR(v * 1e6, std::round(v * 1e6), 1e-6)
                << "program " << k << ", parameter " << i << " has more than six decimals";
        }
    }
}

TEST(FactoryBank, EveryProgramFollowsTheBankRules) {
    Drell effect(nullptr);
    for (int k = 0; k < kNumPrograms; ++k) {
        const CProgram* p = effect.getProgramAt(k);
        ASSERT_NE(p, nullptr);
        char name[25];
        std::memset(name, 'x', sizeof name);
        p->getName(name);
        EXPECT_STREQ(name, kNames[static_cast<size_t>(k)]) << "program " << k;
        for (std::size_t b = std::strlen(name); b < sizeof name; ++b)
            EXPECT_EQ(name[b], '\0') << "program " << k << " name byte " << b << " not zero";
        for (int i = 0; i < kNumParams; ++i)
            EXPECT_EQ(p->getParameter(static_cast<std::uint32_t>(i)),
                      f(kFactoryPrograms[k].values[i]))
                << "program " << k << ", " << kParameterTable[i].name
                << " is not the nearest float of the table value";

        expectSteppedValuesAtCentres(*p, k);
        if (k >= 1 && k <= 19) expectTempoEchoRules(*p, k);
        if (k >= 20) expectEffectRules(*p, k);
    }
}

TEST(FactoryBank, ReferenceProgramsHoldTheirValues) {
    Drell effect(nullptr);
    expectRow(*effect.getProgramAt(0), kInitRow, 0);
    expectRow(*effect.getProgramAt(1), kQuarterFeedbackRow, 1);
    expectRow(*effect.getProgramAt(22), kDoublerStereoRow, 22);
    expectRow(*effect.getProgramAt(60), kPianoCaseRow, 60);
    EXPECT_EQ(kDenTable[step(effect.getProgramAt(1)->getParameter(kDlyLDen), 13)], 4)
        << "\"1 4 Feedback\" must select the quarter";
    EXPECT_STREQ(effect.getProgramAt(12)->name(), "3 16 Feedback ") << "trailing blank lost";
}

TEST(FactoryBank, TwoInstancesHoldIdenticalBanks) {
    Drell a(nullptr), b(nullptr);
    for (int k = 0; k < kNumPrograms; ++k) {
        char na[25], nb[25];
        a.getProgramAt(k)->getName(na);
        b.getProgramAt(k)->getName(nb);
        EXPECT_EQ(std::memcmp(na, nb, sizeof na), 0) << "program " << k << " names differ";
        for (std::uint32_t i = 0; i < kNumParams; ++i) {
            float va = a.getProgramAt(k)->getParameter(i), vb = b.getProgramAt(k)->getParameter(i);
            EXPECT_EQ(std::memcmp(&va, &vb, sizeof va), 0)
                << "program " << k << ", parameter " << i;
        }
    }
}

// What the names promise in numbers a musician would check: doublers double, the flanger
// flanges, and nothing runs away without the drive to hold it.
TEST(FactoryBank, ProgramsDoWhatTheirNamesSay) {
    Drell effect(nullptr);
    auto program = [&](std::string_view name) -> const CProgram& {
        for (int k = 0; k < kNumPrograms; ++k)
            if (name == kNames[static_cast<size_t>(k)]) return *effect.getProgramAt(k);
        ADD_FAILURE() << "no program " << name;
        return *effect.getProgramAt(0);
    };
    auto timeMs = [](const CProgram& p, int side) {
        const ParameterId range = side == 0 ? kDlyLRange : kDlyRRange;
        const ParameterId time = side == 0 ? kDlyLTime : kDlyRTime;
        const float ranges[3] = {100.0f, 1000.0f, 5000.0f};
        return ranges[step(p.getParameter(range), 3)] * p.getParameter(time);
    };
    auto on = [](const CProgram& p, ParameterId id) { return p.getParameter(id) == 0.5f; };

    for (const char* name : {"Doubler Rough", "Doubler Stereo", "Doubler Verb"}) {
        const CProgram& p = program(name);
        for (int s = 0; s < 2; ++s) {
            EXPECT_EQ(p.getParameter(s == 0 ? kDlyLMode : kDlyRMode), 0.25f) << name;
            EXPECT_GE(timeMs(p, s), 2.0f) << name << " side " << s << " too short to double";
            EXPECT_LE(timeMs(p, s), 40.0f) << name << " side " << s << " too long to double";
        }
        EXPECT_LT(p.getParameter(kDlyLFb), 0.4f) << name << " repeats too much for a doubler";
    }
    const CProgram& flanger = program("Flanger Light");
    EXPECT_LE(timeMs(flanger, 0), 5.0f) << "a flanger needs a very short delay";
    EXPECT_GT(flanger.getParameter(kDlyLFb), 0.2f) << "a flanger needs feedback";
    EXPECT_TRUE(on(flanger, kModOn) && on(flanger, kVcoOn)) << "the flanger's sweep is off";
    EXPECT_LT(std::pow(16.0, flanger.getParameter(kModLfoRate)) - 1.0, 1.0)
        << "flanger sweep too fast";

    const CProgram& wow = program("Wow Tape");
    EXPECT_TRUE(on(wow, kModOn) && on(wow, kVcoOn)) << "tape wow needs the modulated clock";
    EXPECT_LT(wow.getParameter(kModSource), 0.5f) << "tape wow comes from the LFO";
    EXPECT_NE(wow.getParameter(kVcoMod), 0.5f) << "the LFO must reach the clock";

    const CProgram& dub = program("Dub Hit");
    EXPECT_GE(dub.getParameter(kDlyLFb), 0.6f) << "dub echoes repeat long";
    EXPECT_TRUE(on(dub, kFltOn) && on(dub, kRvbOn)) << "dub echoes need filter and reverb";
    EXPECT_EQ(dub.getParameter(kFltType), f(0.166667)) << "dub repeats darken (low-pass)";
    EXPECT_EQ(dub.getParameter(kFltMode), 0.5f) << "the low-pass sits in the loop";

    const CProgram& slap = program("Warm Slapback");
    EXPECT_EQ(slap.getParameter(kDlyLFb), 0.0f) << "a slapback is one repeat";
    EXPECT_GE(timeMs(slap, 0), 60.0f);
    EXPECT_LE(timeMs(slap, 0), 150.0f);

    const CProgram& drum = program("Drum Filter");
    EXPECT_TRUE(on(drum, kFltOn)) << "the drum filter needs its filter";

    for (int k = 1; k < kNumPrograms; ++k) {
        const CProgram& p = *effect.getProgramAt(k);
        if (on(p, kDrvOn)) continue;
        EXPECT_LE(p.getParameter(kDlyLFb), 0.8f) << kNames[static_cast<size_t>(k)];
        EXPECT_LE(p.getParameter(kDlyRFb), 0.8f) << kNames[static_cast<size_t>(k)];
    }
}

namespace {

class FactoryHost : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.load()); }
    Drell& effect() { return *static_cast<Drell*>(host.effect()->object); }
    TestHost host;
};

} // namespace

TEST_F(FactoryHost, SeesOneProgramNumberedZeroWhateverHappens) {
    EXPECT_EQ(host.effect()->numPrograms, 1);
    EXPECT_EQ(host.effect()->flags & effFlagsProgramChunks, 0) << "the plug-in hands out no chunk";
    for (int k = 0; k < kNumPrograms; ++k) {
        effect().selectProgram(k);
        EXPECT_EQ(host.dispatch(effGetProgram), 0) << "after selecting program " << k;
    }
    host.dispatch(effSetProgram, 0, 17);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(effect().getCurrentProgramIndex(), 60) << "the host's program change must be ignored";
    host.setParameter(kMainMix, 0.3f);
    char name[] = "Renamed";
    host.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    void* chunk = &name;
    EXPECT_EQ(host.dispatch(effGetChunk, 1, 0, &chunk), 0) << "a program chunk was handed out";
}

TEST_F(FactoryHost, IndexedNamesAreTheFactoryNames) {
    for (int k = 0; k < kNumPrograms; ++k) {
        char text[64];
        std::memset(text, 'x', sizeof text);
        ASSERT_EQ(host.dispatch(effGetProgramNameIndexed, k, 0, text), 1) << "program " << k;
        EXPECT_STREQ(text, kNames[static_cast<size_t>(k)]) << "program " << k;
    }
}

TEST_F(FactoryHost, SelectedProgramReachesTheEngine) {
    for (int k = 0; k < kNumPrograms; ++k) {
        effect().selectProgram(k);
        const CProgram& p = *effect().getProgramAt(k);
        for (int i = 0; i < kNumParams; ++i) {
            // A time arriving while its line follows the tempo is ignored by the engine.
            if ((i == kDlyLTime && step(p.getParameter(kDlyLMode), 2) == 1) ||
                (i == kDlyRTime && step(p.getParameter(kDlyRMode), 2) == 1))
                continue;
            EXPECT_EQ(host.getParameter(i), p.getParameter(static_cast<std::uint32_t>(i)))
                << "program " << k << " \"" << kNames[static_cast<size_t>(k)] << "\", "
                << kParameterTable[i].name << " did not reach the engine";
        }
    }
}

TEST_F(FactoryHost, NaNFromTheHostIsStoredAsZero) {
    effect().selectProgram(20);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    host.setParameter(kDlyLFb, nan);
    host.setParameter(kFltCutoff, nan);
    EXPECT_EQ(host.getParameter(kDlyLFb), 0.0f) << "the engine kept a NaN feedback";
    EXPECT_EQ(effect().getProgramAt(20)->getParameter(kDlyLFb), 0.0f) << "the program kept NaN";
    EXPECT_EQ(effect().getProgramAt(20)->getParameter(kFltCutoff), 0.0f) << "the program kept NaN";
    effect().selectProgram(20);
    EXPECT_EQ(host.getParameter(kFltCutoff), 0.0f) << "reselecting brought a NaN back";
}

namespace {

constexpr int kRate = 44100;

// Uniform noise in [-1, 1) from a seeded generator whose sequence the standard fixes.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : gen(seed) {}
    float operator()() { return static_cast<float>(gen() >> 8) * (2.0f / 16777216.0f) - 1.0f; }

private:
    std::mt19937 gen;
};

void addAt(std::vector<float>& out, double atSeconds, const std::vector<float>& sound, float gain) {
    auto start = static_cast<std::size_t>(atSeconds * kRate);
    for (std::size_t i = 0; i < sound.size() && start + i < out.size(); ++i)
        out[start + i] += gain * sound[i];
}

// A plucked string: a noise burst circulating in a damped loop one period long.
std::vector<float> pluck(double hz, Noise& noise) {
    auto period = static_cast<std::size_t>(std::lround(kRate / hz));
    std::vector<float> loop(period);
    float last = 0.0f;
    for (float& s : loop) s = last = 0.5f * last + 0.5f * noise();
    std::vector<float> out(static_cast<std::size_t>(1.2 * kRate));
    for (std::size_t n = 0; n < out.size(); ++n) {
        std::size_t i = n % period, j = (n + 1) % period;
        out[n] = loop[i];
        loop[i] = 0.996f * 0.5f * (loop[i] + loop[j]);
    }
    for (std::size_t n = 0; n < 2205; ++n) out[out.size() - 1 - n] *= static_cast<float>(n) / 2205;
    return out;
}

// A kick: a sine falling from 150 to 50 Hz under a short click.
std::vector<float> kick(Noise& noise) {
    std::vector<float> out(static_cast<std::size_t>(0.6 * kRate));
    double phase = 0.0;
    for (std::size_t n = 0; n < out.size(); ++n) {
        double t = static_cast<double>(n) / kRate;
        phase += 2.0 * std::numbers::pi * (50.0 + 100.0 * std::exp(-t / 0.04)) / kRate;
        out[n] = static_cast<float>(std::sin(phase) * std::exp(-t / 0.2) +
                                    0.3 * noise() * std::exp(-t / 0.004));
    }
    return out;
}

// A snare: a decaying noise burst over a 190 Hz body.
std::vector<float> snare(Noise& noise) {
    std::vector<float> out(static_cast<std::size_t>(0.4 * kRate));
    for (std::size_t n = 0; n < out.size(); ++n) {
        double t = static_cast<double>(n) / kRate;
        out[n] = static_cast<float>(0.7 * noise() * std::exp(-t / 0.07) +
                                    0.5 * std::sin(2.0 * std::numbers::pi * 190.0 * t) *
                                        std::exp(-t / 0.05));
    }
    return out;
}

// 60 ms of noise with 5 ms raised-cosine edges.
std::vector<float> burst(Noise& noise) {
    const std::size_t len = kRate * 60 / 1000, edge = kRate * 5 / 1000;
    std::vector<float> out(len);
    for (std::size_t n = 0; n < len; ++n) {
        std::size_t d = std::min(n, len - 1 - n);
        double w = d >= edge
                       ? 1.0
                       : 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(d) / edge);
        out[n] = static_cast<float>(w) * noise();
    }
    return out;
}

struct Phrase {
    std::vector<float> left, right;
};

// The standard test phrase, 10 s at 44100 Hz: plucked notes panned apart, a kick and a snare,
// three noise bursts different on each side, a last note, then the tails; peak -6 dBFS.
Phrase standardPhrase() {
    Noise noise(20240611u);
    Phrase p{std::vector<float>(10 * kRate), std::vector<float>(10 * kRate)};
    auto both = [&](double at, const std::vector<float>& s, float l, float r) {
        addAt(p.left, at, s, l);
        addAt(p.right, at, s, r);
    };
    both(0.25, pluck(220.0, noise), 1.0f, 0.5f);
    both(0.75, pluck(329.63, noise), 0.5f, 1.0f);
    both(1.25, kick(noise), 1.0f, 1.0f);
    both(1.6, snare(noise), 0.8f, 0.8f);
    for (double at : {2.0, 2.3, 2.6}) {
        addAt(p.left, at, burst(noise), 0.6f);
        addAt(p.right, at, burst(noise), 0.6f);
    }
    both(3.0, pluck(523.25, noise), 0.8f, 0.8f);
    float peak = 0.0f;
    for (const auto* ch : {&p.left, &p.right})
        for (float s : *ch) peak = std::max(peak, std::fabs(s));
    for (auto* ch : {&p.left, &p.right})
        for (float& s : *ch) s *= 0.5f / peak;
    return p;
}

double toDb(double v) {
    return v > 1e-10 ? 20.0 * std::log10(v) : -200.0;
}

std::string fixed2(double v) {
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 2);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}

} // namespace

// Every program on the standard phrase: finite, audible, and below +6 dBFS. With
// TESSEL_PROGRAM_REPORT naming a file, the levels are written there as a table.
TEST(FactoryBank, EveryProgramPlaysTheStandardPhraseWithinBounds) {
    const Phrase phrase = standardPhrase();
    std::string report = "index\tname\tpeak dBFS\tRMS dBFS\n";
    std::vector<float> outL, outR;
    for (int k = 0; k < kNumPrograms; ++k) {
        TestHost host;
        ASSERT_TRUE(host.load());
        host.resume(static_cast<float>(kRate), 512);
        static_cast<Drell*>(host.effect()->object)->selectProgram(k);
        host.process(phrase.left, phrase.right, outL, outR, 512);

        double peak = 0.0, sum = 0.0;
        std::size_t nonFinite = 0;
        for (const auto* ch : {&outL, &outR})
            for (float s : *ch) {
                if (!std::isfinite(s)) {
                    ++nonFinite;
                    continue;
                }
                peak = std::max(peak, static_cast<double>(std::fabs(s)));
                sum += static_cast<double>(s) * s;
            }
        const double rms = std::sqrt(sum / static_cast<double>(outL.size() + outR.size()));
        const std::string name = kNames[static_cast<size_t>(k)];
        EXPECT_EQ(nonFinite, 0u) << "program " << k << " \"" << name
                                 << "\" gave non-finite samples";
        EXPECT_LT(peak, 2.0) << "program " << k << " \"" << name << "\" peaks at "
                             << fixed2(toDb(peak)) << " dBFS, above +6 dBFS";
        EXPECT_GT(toDb(rms), -50.0) << "program " << k << " \"" << name << "\" is silent (RMS "
                                    << fixed2(toDb(rms)) << " dBFS)";
        report += std::to_string(k) + "\t" + name + "\t" + fixed2(toDb(peak)) + "\t" +
                  fixed2(toDb(rms)) + "\n";
    }
    if (const char* path = std::getenv("TESSEL_PROGRAM_REPORT"); path != nullptr && *path != '\0') {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << report;
        EXPECT_TRUE(file.good()) << "could not write the report to " << path;
    }
}
