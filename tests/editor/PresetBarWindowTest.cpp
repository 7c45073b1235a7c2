// SPDX-License-Identifier: GPL-3.0-or-later
// The preset bar in a real window under the Xvfb named by TESSEL_TEST_DISPLAY, played as a
// user would: a bank saved through the real file dialog (zenity, driven with xdotool) and
// loaded back, and the dialog ended with the window or the effect. (Keys typed into a real
// window: tests/toolkit/X11WindowTest.cpp; the name field renaming: PresetBarTest.cpp.)
// GoogleTest comes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "editor/CPresetSystemEditor.h"
#include "editor/Editor.h"
#include "engine/Drell.h"
#include "platform/ChildProcess.h"
#include "platform/FileDialog.h"
#include "presets/PresetFileCommands.h"
#include "support/EffectHost.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TempFolder.h"
#include "support/WindowTest.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

// Child processes of this process, zombies included.
int childProcessCount() {
    int count = 0;
    const std::string self = std::to_string(getpid());
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        if (!std::getline(stat, text)) continue;
        size_t end = text.rfind(')');
        if (end == std::string::npos) continue;
        std::istringstream fields(text.substr(end + 1));
        std::string state, parent;
        fields >> state >> parent;
        if (parent == self) ++count;
    }
    return count;
}

class PresetBarWindow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped()) return;
        makeParent(panel::kWidth, panel::kHeight);

        PlatformServices services;
        services.settings = &settings;
        services.messages = &messages;
        services.fileDialogs = &dialogs;
        drell = host.make(services);
        editor = adoptNewEditor(*drell);
        ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
    }

    void TearDown() override {
        drell.reset();
        WindowTest::TearDown();
    }

    void idleOnce() override { editor->idle(); }

    // Runs xdotool with the arguments; answers whether it succeeded.
    bool xdotool(const std::vector<std::string>& arguments) {
        std::string program = findProgram("xdotool");
        if (program.empty()) return false;
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        ChildProcess child;
        if (child.start(program, argv, false) != 0) return false;
        for (int i = 0; i < 1500 && !child.poll(); ++i) {
            if (drell) editor->idle(); // the host keeps idling while the dialog is up
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!child.poll()) child.terminate();
        return child.finished() && child.exitCode() == 0;
    }
    // Waits for the dialog titled `title`, types `path` into its name field (an open dialog
    // first opens its location field) and confirms with Return until the command ends (the
    // first Return may only take the name field's completion).
    bool answerDialog(const std::string& title, const std::string& path, bool open) {
        std::vector<std::string> focus = {"search", "--sync",      "--name",
                                          title,    "windowfocus", "--sync"};
        // Each step again after a moment if the dialog was not ready for it (mapped, focusable).
        auto with = [&](std::vector<std::string> more) {
            std::vector<std::string> all = focus;
            all.insert(all.end(), more.begin(), more.end());
            for (int attempt = 0; attempt < 5; ++attempt) {
                if (xdotool(all)) return true;
                idleUntil([] { return false; }, 1);
            }
            return false;
        };
        if (open && !with({"key", "ctrl+l"})) return false;
        if (!with({"key", "ctrl+a"}) || !with({"type", "--delay", "20", path})) return false;
        for (int attempt = 0; attempt < 5 && editor->fileCommands().busy(); ++attempt) {
            if (!with({"key", "Return"})) return false;
            idleUntil([&] { return !editor->fileCommands().busy(); }, 2);
        }
        return !editor->fileCommands().busy();
    }
    std::string programName(int32_t index) { return drell->getProgramAt(index)->name(); }

    EffectHost host;
    MemorySettingsStore settings;
    RecordingMessageBoxes messages;
    ProcessFileDialogs dialogs;
    std::unique_ptr<Drell> drell;
    Editor* editor = nullptr;
};

TEST_F(PresetBarWindow, BankSavedThroughTheRealDialogLoadsBackAllPrograms) {
    if (findProgram("zenity").empty() || findProgram("xdotool").empty())
        GTEST_SKIP() << "zenity and xdotool are needed (scripts/install-deps.sh installs them)";
    TempFolder folder;
    const std::string bank = folder / "round-trip.dlb";
    std::vector<std::string> saved;
    for (int32_t i = 0; i < kNumPrograms; ++i) {
        drell->getProgramAt(i)->setName(("Trip " + std::to_string(i)).c_str());
        drell->getProgramAt(i)->setParameter(7, float(i) / 60.0f);
        saved.push_back(programName(i));
    }
    clickOn(panel::kSaveBankTag);
    ASSERT_TRUE(idleUntil([&] { return editor->fileCommands().busy(); }));
    ASSERT_TRUE(answerDialog("Save bank as...", bank, false)) << "the dialog did not answer";
    ASSERT_TRUE(std::filesystem::exists(bank)) << "the dialog saved nothing";
    EXPECT_EQ(std::filesystem::file_size(bank), 13181u);

    for (int32_t i = 0; i < kNumPrograms; ++i) {
        drell->getProgramAt(i)->setName("Other");
        drell->getProgramAt(i)->setParameter(7, 1.0f);
    }
    clickOn(panel::kLoadBankTag);
    ASSERT_TRUE(idleUntil([&] { return editor->fileCommands().busy(); }));
    ASSERT_TRUE(answerDialog("Select bank to load...", bank, true)) << "the dialog did not answer";
    for (int32_t i = 0; i < kNumPrograms; ++i) {
        EXPECT_EQ(programName(i), saved[size_t(i)]);
        EXPECT_EQ(drell->getProgramAt(i)->getParameter(7), float(i) / 60.0f);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PresetBarWindow, ADialogOpenWhenTheWindowClosesOrTheEffectEndsIsEndedAndReaped) {
    if (findProgram("zenity").empty() || findProgram("xdotool").empty())
        GTEST_SKIP() << "zenity and xdotool are needed (scripts/install-deps.sh installs them)";
    const int before = childProcessCount();
    for (bool closeWindowOnly : {true, false}) {
        ASSERT_TRUE(editor->getFrame() != nullptr);
        clickOn(panel::kSaveBankTag);
        ASSERT_TRUE(idleUntil([&] { return editor->fileCommands().busy(); }));
        ASSERT_TRUE(xdotool({"search", "--sync", "--name", "Save bank as..."}));
        if (closeWindowOnly) {
            editor->close();
            EXPECT_FALSE(editor->fileCommands().busy());
        } else {
            drell.reset();
        }
        EXPECT_EQ(childProcessCount(), before) << "the dialog ended and was reaped";
        EXPECT_FALSE(xdotool({"search", "--name", "Save bank as..."})) << "no dialog is left";
        if (closeWindowOnly) {
            ASSERT_TRUE(editor->open(reinterpret_cast<void*>(parent)));
        }
    }
}

} // namespace
