#pragma once
// The profile manager's file dialogs, as the platform draws them: files of type "(*.tvk)" or
// "(*.*)", the suffix "tvk" added to a name typed without one. They open window-modal over the
// manager and report the chosen file through `chosen`; cancelling reports nothing.
//
// A profile file whose name is not valid UTF-8 cannot be chosen here, nor in the main window's
// "还原": Linux file names are bytes, and Qt 6 reads every one as UTF-8, with no decoder of the
// program's own (QFile::setDecodingFunction is gone). Qt's directory listing (QDirIterator, under
// the QFileSystemModel that Qt's own dialog shows) leaves out every name that is not valid UTF-8,
// and where such a name is decoded all the same (QFile::decodeName, a desktop dialog's answer)
// its stray bytes become U+FFFD, which encodes back to other bytes: the QString a dialog returns
// cannot name the file. Listing it would take a file dialog of our own over std::filesystem in
// place of Qt's and the desktop's, for a name that no Qt 6 program lists; the file stays in reach
// by renaming it (convmv) or through `tavrikctl restore`, which takes the name's bytes from its
// command line.

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
