#pragma once
// A keyboard and a main window for the profile operations, recording what was asked of them.

#include "assign/key_map_conversion.h"
#include "device/default_layout.h"
#include "macro/macro_image.h"
#include "profile/profile_keyboard.h"
#include "profile/profile_window.h"

#include <functional>
#include <string>
#include <vector>

namespace tavrik::test {

class FakeKeyboard : public ProfileKeyboard {
public:
    struct DownloadCall {
        bool allProfiles = false;
        KeyFunctionLayers layers{};
        std::vector<MacroRecord> macros;
    };

    int GetActiveProfileIndex() override {
        if (cache == -1 && attached)
            cache = active;
        return cache;
    }
    int CachedActiveProfileIndex() const override { return cache; }
    void SetActiveProfileIndex(int n) override {
        if (n < 0 || !attached)
            return;
        setCalls.push_back(n);
        if (refuseWrites) {
            cache = -1;
            return;
        }
        active = n;
        cache = n;
    }
    std::optional<KeyboardContents> ReadContents() override {
        if (!attached || failReads)
            return std::nullopt;
        return contents;
    }
    KeyMapBlock DefaultLayout() const override { return kDefaultLayout; }
    std::optional<size_t> MacroCapacity() override { return capacity; }
    DownloadResult Download(const DownloadSnapshot& snapshot, bool allProfiles,
                            const MessageCallback&) override {
        downloads.push_back(
            {allProfiles, snapshot.layers,
             std::vector<MacroRecord>(snapshot.macros.begin(), snapshot.macros.end())});
        return {.lastKeyMapWritten = attached, .everyFrameWritten = attached && !earlierFrameFails};
    }

    // What the keyboard would hold after downloading these layers and macros.
    void Hold(const KeyFunctionLayers& layers, const std::vector<MacroRecord>& macros) {
        for (size_t p = 0; p < contents.keyMaps.size(); ++p)
            contents.keyMaps[p] = BuildKeyMap(kDefaultLayout, layers[p], macros);
        contents.macroImage = BuildMacroImage(macros, true).value();
    }

    bool attached = true;
    bool failReads = false;
    bool refuseWrites = false;
    // A download frame before the last key map fails: the reported outcome is still a success.
    bool earlierFrameFails = false;
    int active = 0;
    int cache = -1;
    std::optional<size_t> capacity = 4096;
    KeyboardContents contents{{kDefaultLayout, kDefaultLayout, kDefaultLayout}, {}};
    std::vector<int> setCalls;
    std::vector<DownloadCall> downloads;
};

class RecordingWindow : public ProfileWindow {
public:
    void ShowMessage(std::u16string_view text) override { messages.emplace_back(text); }
    bool AskYesNo(std::u16string_view question) override {
        questions.emplace_back(question);
        if (whileAsking)
            whileAsking();
        return answerYes;
    }
    bool IsModified() const override { return modified; }
    void EnableApply(bool on) override { modified = on; }
    // Done, as the real window's Apply that wrote everything (onApply may undo that).
    void Apply() override {
        ++applies;
        modified = false;
        if (onApply)
            onApply();
    }
    void RefreshKeyDescriptions() override { ++refreshes; }
    void ShowProfileCaption(std::u16string_view shown, std::u16string_view tip) override {
        caption = shown;
        tooltip = tip;
    }
    bool IsAssignmentDialogOpen() const override { return assignmentDialogOpen; }

    bool modified = false;
    bool answerYes = false;
    bool assignmentDialogOpen = false;
    std::function<void()> whileAsking;
    std::function<void()> onApply;
    int applies = 0;
    int refreshes = 0;
    std::vector<std::u16string> messages;
    std::vector<std::u16string> questions;
    std::u16string caption;
    std::u16string tooltip;
};

} // namespace tavrik::test
