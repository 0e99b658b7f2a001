#include "profile/profile_manager_model.h"

#include "assign/key_function_entry.h"
#include "profile/native_path.h"
#include "profile/profile_file.h"
#include "profile/profile_messages.h"

#include <algorithm>

namespace tavrik {

namespace {

std::u16string FolderText(const std::filesystem::path& folder) {
    return PathText(folder) + u"/";
}

ProfileFileState StateOfCheck(ProfileFileCheck check) {
    switch (check) {
    case ProfileFileCheck::Acceptable:
        return ProfileFileState::Present;
    case ProfileFileCheck::CannotOpen:
        return ProfileFileState::Unreadable;
    default:
        return ProfileFileState::Damaged;
    }
}

} // namespace

ProfileFileState JudgeProfileFile(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return ProfileFileState::Missing;
    if (error)
        return ProfileFileState::Unreadable;
    return StateOfCheck(ValidateProfileFile(file, {}));
}

void ProfileManagerModel::Open(int activeProfileIndex, const StoragePaths& paths) {
    ++openCount_;
    rows_.clear();
    for (size_t i = 0; i < kHardwareProfileCount; ++i) {
        rows_.push_back({PathText(paths.storeFile.filename()), FolderText(paths.folder),
                         static_cast<int>(i) == activeProfileIndex});
    }
    modified_ = false;
    NotifyChanged();
}

void ProfileManagerModel::Close() {
    modified_ = false;
    openCount_ = std::max(openCount_ - 1, 0);
    NotifyChanged();
}

void ProfileManagerModel::ClearModified() {
    modified_ = false;
    NotifyChanged();
}

void ProfileManagerModel::SetChecked(size_t row, bool checked) {
    if (row >= rows_.size())
        return;
    if (checked) {
        for (ProfileRow& each : rows_)
            each.checked = false;
    }
    rows_[row].checked = checked;
    MarkModified();
}

void ProfileManagerModel::FollowActiveProfile(int index) {
    for (size_t i = 0; i < rows_.size(); ++i)
        rows_[i].checked = static_cast<int>(i) == index;
    ClearModified();
}

std::filesystem::path ProfileManagerModel::NewProfileSuggestion(const StoragePaths& paths) {
    return paths.folder / PathFromText(profile_text::kNewProfileFileName);
}

bool ProfileManagerModel::AddNewProfile(const std::filesystem::path& chosen) {
    if (!CreateDefaultProfileFile(chosen))
        return false;
    AppendRow(chosen);
    return true;
}

void ProfileManagerModel::AppendProfile(const std::filesystem::path& chosen) {
    AppendRow(chosen);
}

std::optional<size_t> ProfileManagerModel::DeleteRow(size_t row) {
    if (row >= rows_.size())
        return std::nullopt;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    MarkModified();
    if (rows_.empty())
        return std::nullopt;
    return std::min(row, rows_.size() - 1);
}

std::vector<std::filesystem::path> ProfileManagerModel::RowPaths() const {
    std::vector<std::filesystem::path> paths;
    for (const ProfileRow& row : rows_)
        paths.push_back(PathFromText(row.folder + row.name + u".tvk"));
    return paths;
}

std::optional<size_t> ProfileManagerModel::FirstCheckedRow() const {
    const auto checked = std::ranges::find_if(rows_, &ProfileRow::checked);
    if (checked == rows_.end())
        return std::nullopt;
    return static_cast<size_t>(checked - rows_.begin());
}

void ProfileManagerModel::RecheckFiles() {
    bool changed = false;
    for (ProfileRow& row : rows_) {
        if (row.file.empty())
            continue;
        const ProfileFileState state = JudgeProfileFile(row.file);
        changed = changed || state != row.fileState;
        row.fileState = state;
    }
    if (changed)
        NotifyChanged();
}

void ProfileManagerModel::AppendRow(const std::filesystem::path& file) {
    rows_.push_back({PathText(file.stem()), FolderText(file.parent_path()), false, file,
                     JudgeProfileFile(file)});
    MarkModified();
}

void ProfileManagerModel::MarkModified() {
    modified_ = true;
    NotifyChanged();
}

void ProfileManagerModel::NotifyChanged() const {
    if (changed_)
        changed_();
}

} // namespace tavrik
