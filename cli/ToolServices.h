// The platform services the tool hands the effect in place of the plug-in's own: the
// user's settings are read but never written (a render or a listing leaves the
// configuration as it found it), messages are collected for the tool to print instead of
// opening message boxes, and the file a bank or preset command asks for is the one named
// on the command line instead of a dialog's choice.
#pragma once

#include "platform/FileDialog.h"
#include "platform/FileSettingsStore.h"
#include "platform/MessageBox.h"
#include "presets/PlatformServices.h"

#include <string>
#include <vector>

namespace cli {

class ReadOnlySettings final : public SettingsStore {
public:
    bool keyExists(std::string_view keyPath) const override { return store.keyExists(keyPath); }
    SettingsKeyContents readKey(std::string_view keyPath) const override {
        return store.readKey(keyPath);
    }
    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view name) const override {
        return store.readString(keyPath, name);
    }
    std::optional<std::uint32_t> readDword(std::string_view keyPath,
                                           std::string_view name) const override {
        return store.readDword(keyPath, name);
    }
    // Writes nothing and reports success: the effect keeps the values in memory.
    SettingsWriteStatus writeValues(std::string_view, const std::vector<SettingsValue>&) override {
        return SettingsWriteStatus::ok;
    }

private:
    FileSettingsStore store; // the plug-in's own store, at its usual place
};

class CollectedMessages final : public MessageBoxes {
public:
    void showError(std::string_view message, MessageIcon) override {
        messages.emplace_back(message);
    }
    // The messages shown since the last call, each once, in order.
    std::vector<std::string> take();

private:
    std::vector<std::string> messages;
};

// A dialog that answers at once with the path it was given.
class NamedFileDialogs final : public FileDialogs {
public:
    // The answer of the next dialog: the file's full path.
    void answerWith(std::string path) { answer = std::move(path); }

    bool start(const FileDialogRequest&) override;
    FileDialogResult poll() override { return wait(); }
    FileDialogResult wait() override;
    bool running() const override { return false; }
    void abandon() override { started = false; }

private:
    std::string answer;
    bool started = false;
};

struct ToolServices {
    ReadOnlySettings settings;
    CollectedMessages messages;
    NamedFileDialogs fileDialogs;
    PlatformServices forEffect() { return {&settings, &messages, &fileDialogs}; }
};

} // namespace cli
