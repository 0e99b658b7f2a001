#pragma once
// The profile manager's file dialogs, as the platform draws them: files of type "(*.tvk)" or
// "(*.*)", the suffix "tvk" added to a name typed without one. They open window-modal over the
// manager and report the chosen file through `chosen`; cancelling reports nothing.

#include <QWidget>

#include <filesystem>
#include <functional>

namespace tavrik {

using FileChosen = std::function<void(const std::filesystem::path& file)>;

// "添加": where to write a new profile file, proposing `suggestion`; a file that exists is
// replaced only after the dialog's own question.
void ChooseNewProfileFile(QWidget& parent, const std::filesystem::path& suggestion,
                          FileChosen chosen);

// "载入": an existing file, starting in `folder`.
void ChooseProfileFileToLoad(QWidget& parent, const std::filesystem::path& folder,
                             FileChosen chosen);

} // namespace tavrik
