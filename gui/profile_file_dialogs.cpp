#include "gui/profile_file_dialogs.h"

#include "profile/native_path.h"

#include <QFileDialog>

namespace tavrik {
namespace {

QFileDialog& ProfileFileDialog(QWidget& parent, const QString& title, FileChosen chosen) {
    // Names that are not valid UTF-8 are not listed, and could not be returned (see the header).
    auto* dialog = new QFileDialog(&parent, title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setNameFilters({QStringLiteral("(*.tvk)"), QStringLiteral("(*.*)")});
    dialog->setDefaultSuffix(QStringLiteral("tvk"));
    QObject::connect(dialog, &QFileDialog::fileSelected, &parent,
                     [chosen = std::move(chosen)](const QString& file) {
                         if (!file.isEmpty())
                             chosen(FromQtPath(file));
                     });
    return *dialog;
}

} // namespace

void ChooseNewProfileFile(QWidget& parent, const std::filesystem::path& suggestion,
                          FileChosen chosen) {
    QFileDialog& dialog = ProfileFileDialog(parent, QStringLiteral("添加"), std::move(chosen));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(ToQtPath(suggestion.parent_path()));
    dialog.selectFile(ToQtPath(suggestion));
    dialog.open();
}

void ChooseProfileFileToLoad(QWidget& parent, const std::filesystem::path& folder,
                             FileChosen chosen) {
    QFileDialog& dialog = ProfileFileDialog(parent, QStringLiteral("载入"), std::move(chosen));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(ToQtPath(folder));
    dialog.open();
}

} // namespace tavrik
