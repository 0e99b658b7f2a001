#pragma once
// The rules of the profile manager dialog ("添加", "载入", "删除", the check boxes), kept apart
// from its widgets. Each opening lists the three hardware profiles afresh; rows added or loaded
// name files that are never loaded, only written to the per-user store on Apply, and each such
// row says whether its file is there and looks like a profile file. At most one row is checked;
// its position is the hardware profile selected on Apply, used as it is (a fourth row selects
// index 3, which the keyboard does not provide).

#include "profile/storage_paths.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrik {

// What the file of a row looks like, judged without loading it. The keyboard's own profiles name
// no file of their own (the store file mirrors all three).
enum class ProfileFileState {
    NoFile,
    Present,    // a profile file with an acceptable header
    Missing,    // no file of that name (any more)
    Damaged,    // too short, too large or with a malformed header: not a profile file
    Unreadable, // not a regular file, or the system refuses to read it
};

// Judges the file by its type, its size and its header, as an import would, but says nothing to
// the user and loads nothing.
ProfileFileState JudgeProfileFile(const std::filesystem::path& file);

struct ProfileRow {
    std::u16string name;   // file name without extension
    std::u16string folder; // ends with "/"
    bool checked = false;
    std::filesystem::path file{}; // the file added or loaded; empty for the keyboard's profiles
    ProfileFileState fileState = ProfileFileState::NoFile;
    bool operator==(const ProfileRow&) const = default;
};

class ProfileManagerModel {
public:
    // Called after every change of the rows, the check marks or the modified state.
    void SetChangedCallback(std::function<void()> changed) { changed_ = std::move(changed); }

    // The dialog opens: three rows named after the store file in the storage folder, the
    // active profile's row checked when it is known (not -1), not modified.
    void Open(int activeProfileIndex, const StoragePaths& paths);
    // The dialog closes: no longer modified.
    void Close();
    bool IsOpen() const { return openCount_ > 0; }

    const std::vector<ProfileRow>& Rows() const { return rows_; }
    bool IsModified() const { return modified_; }
    void ClearModified();

    // Checking a row unchecks every other; either way the dialog becomes modified.
    void SetChecked(size_t row, bool checked);
    // A switch of the hardware profile while the dialog is open: row n checked, not modified.
    void FollowActiveProfile(int index);

    // Where "添加" proposes to create a new file: the storage folder and "新情景模式".
    static std::filesystem::path NewProfileSuggestion(const StoragePaths& paths);
    // "添加": writes a default profile file at the chosen path and appends its row. False, with
    // no row added, when the file cannot be written.
    bool AddNewProfile(const std::filesystem::path& chosen);
    // "载入": appends a row for the chosen file, judged (see JudgeProfileFile) but never loaded.
    void AppendProfile(const std::filesystem::path& chosen);
    // Judges every row's file again (it may have been removed or replaced meanwhile); notifies
    // only when a row's state changed. The modified state stays as it is.
    void RecheckFiles();
    // "删除": removes the row and returns the row to select next (the one after it, or the one
    // before when it was the last); nothing when the row does not exist.
    std::optional<size_t> DeleteRow(size_t row);

    // Each row's folder, name and ".tvk", as Apply stores them.
    std::vector<std::filesystem::path> RowPaths() const;
    std::optional<size_t> FirstCheckedRow() const;

private:
    void AppendRow(const std::filesystem::path& file);
    void MarkModified();
    void NotifyChanged() const;

    std::vector<ProfileRow> rows_;
    bool modified_ = false;
    int openCount_ = 0;
    std::function<void()> changed_;
};

} // namespace tavrik
