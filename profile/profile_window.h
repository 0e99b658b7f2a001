#pragma once
// The main window as the profile operations see it: messages and questions for the user, its
// modified state and Apply, and the redraw of its key buttons. The GUI implements it; tests use
// a recording fake.

#include <string_view>

namespace tavrik {

class ProfileWindow {
public:
    virtual ~ProfileWindow() = default;

    // A message with one OK button.
    virtual void ShowMessage(std::u16string_view text) = 0;
    // A Yes/No question with No as the default button; true for Yes.
    virtual bool AskYesNo(std::u16string_view question) = 0;

    // Unsaved edits exist (the Apply button is enabled).
    virtual bool IsModified() const = 0;
    virtual void EnableApply(bool on) = 0;
    // The main window's Apply: saves the store file and downloads the active hardware profile;
    // returns when it has finished.
    virtual void Apply() = 0;

    // Redraws the key and macro-key buttons from the active layer. Called with the profile lock
    // held.
    virtual void RefreshKeyDescriptions() = 0;
    // The caption and tooltip of the profile button.
    virtual void ShowProfileCaption(std::u16string_view caption, std::u16string_view tooltip) = 0;

    // The key assignment dialog is open; switching is refused meanwhile.
    virtual bool IsAssignmentDialogOpen() const = 0;
};

} // namespace tavrik
