// SPDX-License-Identifier: GPL-3.0-or-later
// Tessel.dll loaded as a Windows host loads it: the entry points, the parameters and their
// texts, the programs, the settings in the registry, and renders that equal the Linux
// build's. The Linux reference files are named by TESSEL_LINUX_RENDER (scripts/test.sh
// makes them with the Linux build's tessel-program-render).
#include "platform/SettingsKeys.h"
#include "presets/ControllerMap.h"
#include "presets/FactoryPrograms.h"
#include "testhost/TestHost.h"
#include "windows/ProgramRender.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::optional<DWORD> machineDword(std::string_view keyPath, const std::string& name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, std::string(keyPath).c_str(), name.c_str(), RRF_RT_ANY,
                     &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

// A value in the user's key, as the user's own settings hold it.
void setUserValue(std::string_view keyPath, const std::string& name, DWORD type, const void* data,
                  DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, std::string(keyPath).c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
void setUserValue(std::string_view keyPath, const std::string& name, const std::string& text) {
    setUserValue(keyPath, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The Linux reference file of that suffix, or empty with the reason in why.
std::optional<std::string> linuxReference(const char* suffix) {
    const char* base = std::getenv("TESSEL_LINUX_RENDER");
    if (base == nullptr || *base == '\0') return std::nullopt;
    return std::string(base) + suffix;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// True when the two texts are the same but for one number whose last digit is one apart
// ("2.300010" and "2.300011", "-0.99" and "-1.00").
bool differInLastDigit(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    auto numberStart = [](const std::string& s, std::size_t i) {
        while (i > 0 && (std::isdigit(static_cast<unsigned char>(s[i - 1])) || s[i - 1] == '.' ||
                         s[i - 1] == '-'))
            --i;
        return i;
    };
    std::size_t startA = numberStart(a, at), startB = numberStart(b, at);
    if (startA != startB || a.substr(0, startA) != b.substr(0, startB)) return false;
    std::size_t endA = a.find_first_not_of("0123456789.-", startA);
    std::size_t endB = b.find_first_not_of("0123456789.-", startB);
    std::string numberA = a.substr(startA, endA - startA),
                numberB = b.substr(startB, endB - startB);
    if (numberA.empty() || numberA.size() != numberB.size()) return false;
    if ((endA == std::string::npos ? "" : a.substr(endA)) !=
        (endB == std::string::npos ? "" : b.substr(endB)))
        return false;
    std::size_t point = numberA.find('.');
    if (point != numberB.find('.')) return false;
    int decimals = point == std::string::npos ? 0 : int(numberA.size() - point - 1);
    double unit = std::pow(10.0, -decimals);
    return std::fabs(std::stod(numberA) - std::stod(numberB)) <= 1.5 * unit;
}

} // namespace

TEST(PluginDll, BothEntryPointsMakeTheEffect) {
    for (const char* entry : {"VSTPluginMain", "main"}) {
        TestHost host;
        ASSERT_TRUE(host.load(entry)) << entry;
        AEffect* effect = host.effect();
        EXPECT_EQ(effect->magic, kEffectMagic);
        EXPECT_EQ(effect->uniqueID, fourCharCode("KT2W")); // the bytes "W2TK", lowest first
        EXPECT_EQ(effect->numParams, 96);
        EXPECT_EQ(effect->numPrograms, 1);
        EXPECT_EQ(effect->numInputs, 2);
        EXPECT_EQ(effect->numOutputs, 2);
        char name[64] = {};
        host.dispatch(effGetEffectName, 0, 0, name);
        EXPECT_STREQ(name, "Tessel");
        EXPECT_EQ(host.symbol("createEffect"), nullptr) << "only the entry points are exported";
    }
}

TEST(PluginDll, ParameterTextsEqualTheLinuxBuilds) {
    std::string texts = factoryProgramTexts(TESSEL_PLUGIN_PATH);
    ASSERT_FALSE(texts.empty());
    auto reference = linuxReference(".texts");
    if (!reference) GTEST_SKIP() << "TESSEL_LINUX_RENDER is not set: no Linux reference";
    std::vector<char> linux = fileBytes(*reference);
    ASSERT_FALSE(linux.empty()) << "no file " << *reference;
    std::vector<std::string> windowsLines = lines(texts);
    std::vector<std::string> linuxLines = lines(std::string(linux.begin(), linux.end()));
    ASSERT_EQ(windowsLines.size(), linuxLines.size());
    int lastDigit = 0;
    for (std::size_t i = 0; i < windowsLines.size(); ++i) {
        if (windowsLines[i] == linuxLines[i]) continue;
        // The C runtimes' log10 and pow round a few values the other way: a number may
        // differ by one in its last digit, nothing else may.
        if (differInLastDigit(windowsLines[i], linuxLines[i])) {
            ++lastDigit;
            continue;
        }
        ADD_FAILURE() << "Windows: " << windowsLines[i] << "\nLinux:   " << linuxLines[i];
    }
    std::printf("texts: %d of %zu differ from Linux by one in the last digit\n", lastDigit,
                windowsLines.size());
}

TEST(PluginDll, ProgramsAreTheFactoryBank) {
    TestHost host;
    ASSERT_TRUE(host.load());
    for (int k = 0; k < kNumPrograms; ++k) {
        char name[64] = {};
        ASSERT_EQ(host.dispatch(effGetProgramNameIndexed, k, 0, name), 1) << k;
        EXPECT_STREQ(name, kFactoryPrograms[k].name) << k;
    }
    EXPECT_EQ(host.programName(), kFactoryPrograms[0].name);
    char renamed[] = "Wine Program";
    host.dispatch(effSetProgramName, 0, 0, renamed);
    EXPECT_EQ(host.programName(), "Wine Program");
}

TEST(PluginDll, TheControllerMapLivesInTheRegistry) {
    {
        TestHost first;
        ASSERT_TRUE(first.load());
    }
    // Written on the first start, in the machine's key (Wine's user is an administrator).
    for (int p = 0; p < kNumParams; ++p)
        EXPECT_EQ(machineDword(kMidiSettingsKeyPath, midiControllerValueName(p)),
                  std::optional<DWORD>(DWORD(kDefaultControllers[p])))
            << p;
    // A map stored by one instance (the user's key wins) is read by the next.
    const DWORD controller = 7;
    setUserValue(kMidiSettingsKeyPath, "param005", REG_DWORD, &controller, sizeof controller);
    TestHost second;
    ASSERT_TRUE(second.load());
    EXPECT_FLOAT_EQ(second.getParameter(kNumParams + 5), 7.5f / 129.0f);
    EXPECT_FLOAT_EQ(second.getParameter(kNumParams + 4),
                    (float(kDefaultControllers[4]) + 0.5f) / 129.0f);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, std::string(kMidiSettingsKeyPath).c_str(), "param005");
}

TEST(PluginDll, TheDefaultBankNamedInTheRegistryIsLoaded) {
    // A bank whose programs are named "Wine 0" to "Wine 60", all values 0.25.
    std::string bank = "W2TK7";
    for (int k = 0; k < kNumPrograms; ++k) {
        char name[24] = {};
        std::snprintf(name, sizeof name, "Wine %d", k);
        bank.append(name, sizeof name);
        float value = 0.25f;
        for (int p = 0; p < kNumParams; ++p)
            bank.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder =
        std::string(temp) + "tessel-default-bank-" + std::to_string(GetCurrentProcessId()) + "\\";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "wine.dlb", std::ios::binary) << bank;
    setUserValue(kSettingsKeyPath, std::string(kDefaultBankDirValue), folder);
    setUserValue(kSettingsKeyPath, std::string(kDefaultBankFileValue), "wine.dlb");

    TestHost host;
    ASSERT_TRUE(host.load());
    char name[64] = {};
    host.dispatch(effGetProgramNameIndexed, 60, 0, name);
    EXPECT_STREQ(name, "Wine 60");

    setUserValue(kSettingsKeyPath, std::string(kDefaultBankFileValue), "");
    TestHost cleared;
    ASSERT_TRUE(cleared.load());
    cleared.dispatch(effGetProgramNameIndexed, 60, 0, name);
    EXPECT_STREQ(name, kFactoryPrograms[60].name) << "an empty file name loads no bank";
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

TEST(PluginDll, RendersOfEveryFactoryProgramEqualTheLinuxBuilds) {
    std::vector<float> windows = renderFactoryPrograms(TESSEL_PLUGIN_PATH);
    ASSERT_EQ(windows.size(), std::size_t(kNumPrograms) * 2 * kRenderFrames);
    auto reference = linuxReference("");
    if (!reference) GTEST_SKIP() << "TESSEL_LINUX_RENDER is not set: no Linux reference";
    std::vector<char> bytes = fileBytes(*reference);
    ASSERT_EQ(bytes.size(), windows.size() * sizeof(float)) << "reference " << *reference;
    std::vector<float> linux(windows.size());
    std::memcpy(linux.data(), bytes.data(), bytes.size());
    std::size_t differing = 0;
    double worst = 0.0;
    std::size_t worstAt = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (std::memcmp(&windows[i], &linux[i], sizeof(float)) == 0) continue;
        ++differing;
        double difference = std::fabs(double(windows[i]) - double(linux[i]));
        if (!(difference <= worst)) {
            worst = difference;
            worstAt = i;
        }
    }
    std::printf("renders: %zu of %zu samples differ from Linux, largest difference %.3g\n",
                differing, windows.size(), worst);
    EXPECT_LE(worst, 1e-6) << "largest difference in program "
                           << worstAt / (2 * std::size_t(kRenderFrames));
}
