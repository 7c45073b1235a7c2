// SPDX-License-Identifier: GPL-3.0-or-later
// The registry settings store: value types as the registry holds them, the user's keys read
// before the machine's, and writes that fall back to the user's keys when the machine's
// cannot be written.
#include "platform/SettingsKeys.h"
#include "windows/RegistryPlacesForTest.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A value as another program would read it: its type and bytes, or type REG_NONE.
struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
};

RawValue readRaw(HKEY hive, const std::string& path, const char* name) {
    RawValue raw;
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return raw;
    char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &raw.type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS)
        raw.bytes.assign(data, size);
    else
        raw.type = REG_NONE;
    RegCloseKey(key);
    return raw;
}

void writeRawString(HKEY hive, const std::string& path, const char* name, const char* text) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   DWORD(std::strlen(text) + 1));
    RegCloseKey(key);
}

} // namespace

TEST(RegistrySettingsStore, WritesRegSzWithItsNulAndRegDwordOfFourBytes) {
    TestRegistryPlaces test;
    RegistrySettingsStore store(test.places);
    ASSERT_EQ(store.writeValues(kSettingsKeyPath, {{"defbankdir", std::string("C:\\Banks\\")},
                                                   {"defbankfile", std::string("")},
                                                   {"param000", 20u}}),
              SettingsWriteStatus::ok);
    std::string path = test.path(kSettingsKeyPath);
    RawValue dir = readRaw(HKEY_LOCAL_MACHINE, path, "defbankdir");
    EXPECT_EQ(dir.type, DWORD(REG_SZ));
    EXPECT_EQ(dir.bytes, std::string("C:\\Banks\\\0", 10));
    RawValue empty = readRaw(HKEY_LOCAL_MACHINE, path, "defbankfile");
    EXPECT_EQ(empty.type, DWORD(REG_SZ));
    EXPECT_EQ(empty.bytes, std::string("\0", 1)) << "an empty text is stored as one NUL";
    RawValue number = readRaw(HKEY_LOCAL_MACHINE, path, "param000");
    EXPECT_EQ(number.type, DWORD(REG_DWORD));
    EXPECT_EQ(number.bytes, std::string("\x14\0\0\0", 4));

    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankdir"), "C:\\Banks\\");
    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankfile"), "");
    EXPECT_EQ(store.readDword(kSettingsKeyPath, "param000"), 20u);
    EXPECT_EQ(store.readDword(kSettingsKeyPath, "defbankdir"), std::nullopt) << "other type";
    EXPECT_EQ(store.readString(kSettingsKeyPath, "missing"), std::nullopt);
    EXPECT_TRUE(store.keyExists(kSettingsKeyPath));
    EXPECT_FALSE(store.keyExists(kMidiSettingsKeyPath));
}

TEST(RegistrySettingsStore, ReadKeyGivesEveryValueAndNamesForeignTypes) {
    TestRegistryPlaces test;
    RegistrySettingsStore store(test.places);
    EXPECT_FALSE(store.readKey(kMidiSettingsKeyPath).exists);
    ASSERT_EQ(store.writeValues(kMidiSettingsKeyPath, {{"param000", 20u}, {"param001", 999u}}),
              SettingsWriteStatus::ok);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, test.path(kMidiSettingsKeyPath).c_str(), 0,
                            KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const BYTE binary[3] = {1, 2, 3};
    RegSetValueExA(key, "param002", 0, REG_BINARY, binary, sizeof binary);
    RegCloseKey(key);

    SettingsKeyContents contents = store.readKey(kMidiSettingsKeyPath);
    EXPECT_TRUE(contents.exists);
    ASSERT_NE(contents.find("param000"), nullptr);
    EXPECT_EQ(std::get<std::uint32_t>(*contents.find("param000")), 20u);
    EXPECT_EQ(std::get<std::uint32_t>(*contents.find("param001")), 999u);
    EXPECT_EQ(contents.find("param002"), nullptr);
    EXPECT_NE(contents.damage.find("param002"), std::string::npos) << contents.damage;
}

TEST(RegistrySettingsStore, TheUsersValuesComeBeforeTheMachines) {
    TestRegistryPlaces test;
    RegistrySettingsStore store(test.places);
    std::string path = test.path(kSettingsKeyPath);
    writeRawString(HKEY_LOCAL_MACHINE, path, "defbankdir", "C:\\Machine\\");
    writeRawString(HKEY_LOCAL_MACHINE, path, "defbankfile", "machine.dlb");
    writeRawString(HKEY_CURRENT_USER, path, "defbankdir", "C:\\User\\");

    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankdir"), "C:\\User\\");
    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankfile"), "machine.dlb");
    SettingsKeyContents contents = store.readKey(kSettingsKeyPath);
    EXPECT_EQ(std::get<std::string>(*contents.find("defbankdir")), "C:\\User\\");
    EXPECT_EQ(std::get<std::string>(*contents.find("defbankfile")), "machine.dlb");
}

TEST(RegistrySettingsStore, AWriteToTheMachineIsNotHiddenByAnOlderUserValue) {
    TestRegistryPlaces test;
    RegistrySettingsStore store(test.places);
    std::string path = test.path(kSettingsKeyPath);
    writeRawString(HKEY_CURRENT_USER, path, "defbankfile", "old.dlb");
    ASSERT_EQ(store.writeValues(kSettingsKeyPath, {{"defbankfile", std::string("new.dlb")}}),
              SettingsWriteStatus::ok);
    EXPECT_EQ(store.readString(kSettingsKeyPath, "defbankfile"), "new.dlb");
    EXPECT_EQ(readRaw(HKEY_CURRENT_USER, path, "defbankfile").type, DWORD(REG_NONE));
}

TEST(RegistrySettingsStore, AUserWithoutRightsToTheMachineWritesTheirOwnKey) {
    TestRegistryPlaces test(false);
    RegistrySettingsStore store(test.places);
    ASSERT_EQ(store.writeValues(kMidiSettingsKeyPath, {{"param003", 77u}}),
              SettingsWriteStatus::ok);
    std::string path = test.path(kMidiSettingsKeyPath);
    EXPECT_EQ(readRaw(HKEY_LOCAL_MACHINE, path, "param003").type, DWORD(REG_NONE));
    EXPECT_EQ(readRaw(HKEY_CURRENT_USER, path, "param003").type, DWORD(REG_DWORD));
    EXPECT_EQ(store.readDword(kMidiSettingsKeyPath, "param003"), 77u);
    EXPECT_TRUE(store.keyExists(kMidiSettingsKeyPath));
}

TEST(RegistrySettingsStore, PathsAndNamesTheRegistryCannotHoldAreRefused) {
    TestRegistryPlaces test;
    RegistrySettingsStore store(test.places);
    EXPECT_EQ(store.writeValues("", {{"a", 1u}}), SettingsWriteStatus::keyNotCreated);
    EXPECT_EQ(store.writeValues(kSettingsKeyPath, {{std::string("a\0b", 3), 1u}}),
              SettingsWriteStatus::valueNotWritten);
    EXPECT_EQ(store.writeValues(kSettingsKeyPath, {{"text", std::string("a\0b", 3)}}),
              SettingsWriteStatus::valueNotWritten);
    EXPECT_FALSE(store.keyExists(""));
}
