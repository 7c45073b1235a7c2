// SPDX-License-Identifier: GPL-3.0-or-later
// File dialogs for tests: each start() takes the next scripted result, which poll() hands
// out after a given number of polls that answer "running". Requests are recorded.
#pragma once

#include "platform/FileDialog.h"

#include <deque>
#include <vector>

class ScriptedFileDialogs final : public FileDialogs {
public:
    std::deque<FileDialogResult> script; // a cancel when it runs out
    int pollsBeforeResult = 0;
    std::vector<FileDialogRequest> requests;

    bool start(const FileDialogRequest& request) override {
        if (active) return false;
        requests.push_back(request);
        current = FileDialogResult{FileDialogStatus::cancelled, {}};
        if (!script.empty()) {
            current = script.front();
            script.pop_front();
        }
        active = true;
        pollsLeft = pollsBeforeResult;
        return true;
    }
    FileDialogResult poll() override {
        if (!active) return {};
        if (pollsLeft > 0) {
            --pollsLeft;
            return {FileDialogStatus::running, {}};
        }
        active = false;
        return current;
    }
    FileDialogResult wait() override {
        pollsLeft = 0;
        return poll();
    }
    bool running() const override { return active; }
    void abandon() override { active = false; }

private:
    bool active = false;
    int pollsLeft = 0;
    FileDialogResult current;
};
