#pragma once
// The one live profile of the program: the record with all four layers, the macro array and the
// text table, guarded by the recursive profile lock; and the applied snapshot, the copy of
// record and macros taken at the last download, guarded by the recursive snapshot lock. The
// profile lock is always taken before the snapshot lock. The application creates one LiveProfile
// and passes it to whoever needs it.
//
// A record is always installed: releasing the record puts a default one in its place, so a
// replacement that fails half-way (a missing file, no memory) leaves a usable profile.
//
// Every replacement of the profile as a whole (ReleaseAll or Install) is counted, so that what
// remembers edits of the profile (the undo history) knows when they no longer apply to it.

#include "macro_record/macro_record.h"
#include "profile/profile_file_format.h"
#include "profile/profile_record.h"
#include "profile/text_table.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tavrik {

struct AppliedSnapshot {
    ProfileRecord record = DefaultProfileRecord();
    std::vector<MacroRecord> macros;
};

class LiveProfile {
public:
    using Lock = std::unique_lock<std::recursive_mutex>;

    LiveProfile() = default;
    LiveProfile(const LiveProfile&) = delete;
    LiveProfile& operator=(const LiveProfile&) = delete;

    [[nodiscard]] Lock LockProfile() { return Lock(profileMutex_); }
    [[nodiscard]] Lock LockSnapshot() { return Lock(snapshotMutex_); }

    // Hold the profile lock while using these.
    ProfileRecord& Record() { return record_; }
    std::vector<MacroRecord>& Macros() { return macros_; }
    TextTable& Texts() { return texts_; }
    // Hold the snapshot lock while using this.
    AppliedSnapshot& Snapshot() { return snapshot_; }

    // A copy of record, macros and texts. Hold the profile lock.
    ProfileContents Copy() const { return {record_, macros_, texts_}; }
    // How many times the profile has been replaced as a whole since it was made.
    uint64_t Replacements() const { return replacements_.load(); }

    void ReleaseTexts() { texts_.ReleaseAll(); }
    void ReleaseMacros() { macros_.clear(); }
    // The record is replaced by a default one rather than left missing.
    void ReleaseProfileRecord() { record_ = DefaultProfileRecord(); }
    // The first step of every replacement: texts, macros, record.
    void ReleaseAll();

    // Installs a default record; macros and texts stay as the caller left them.
    void CreateDefaultProfile() { record_ = DefaultProfileRecord(); }

    // Installs what a file held. Nothing here allocates, so it cannot fail half-way.
    void Install(ProfileContents&& contents) noexcept;

private:
    std::recursive_mutex profileMutex_;
    std::recursive_mutex snapshotMutex_;
    ProfileRecord record_ = DefaultProfileRecord();
    std::vector<MacroRecord> macros_;
    TextTable texts_;
    AppliedSnapshot snapshot_;
    std::atomic<uint64_t> replacements_{0};
};

} // namespace tavrik
