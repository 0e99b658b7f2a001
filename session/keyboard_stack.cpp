#include "session/keyboard_stack.h"

#include "profile/edit_rebase.h"
#include "session/profile_mirror.h"

namespace tavrik {

namespace {

// Called with the profile lock held.
std::unique_ptr<ProfileContents> CopyOfLiveProfile(const LiveProfile& profile) {
    return std::make_unique<ProfileContents>(profile.Copy());
}

} // namespace

KeyboardStack::KeyboardStack(HidBridge& bridge, MainWindowPort& port, ProfileWindow& window,
                             StoragePaths storage, LightingPreferencesSource preferences)
    : link_(std::make_unique<DeviceLink>(bridge, facts_, port))
    , deviceKeyboard_(std::make_unique<DeviceProfileKeyboard>(link_->Commands(), facts_))
    , keyboard_(std::make_unique<ReadRecordingKeyboard>(*deviceKeyboard_))
    , store_(std::make_unique<ProfileStore>(profile_, std::move(storage), *keyboard_, window))
    , lighting_(std::make_unique<LightingModel>(link_->Commands(), std::move(preferences))) {}

KeyboardStack::~KeyboardStack() {
    StopLink();
}

void KeyboardStack::ReloadFromKeyboard(bool keepModified) {
    // The keyboard as a whole, and the store file beside it, in one turn: no other program
    // writes between the reads and the store file's mirror of them. A reload waits as long as it
    // takes (it runs off the window's thread, and the program's end cancels the wait).
    const KeyboardTurn::Hold turn = Turn().Take(std::nullopt);
    store_->ReloadProfileFromKeyboard(keepModified);
    {
        const std::optional<KeyboardContents> contents = keyboard_->LastContents();
        const LiveProfile::Lock lock = profile_.LockProfile();
        mirrored_ = contents && MirrorsKeyboard(profile_.Record(), profile_.Macros(), *contents,
                                                facts_.DefaultLayout());
        RecordSyncLocked();
    }
    WithLighting(
        [this](LightingModel& lighting) { lightingRead_ = lighting.ReadLightingState(true); });
}

void KeyboardStack::MarkInStep() {
    const LiveProfile::Lock lock = profile_.LockProfile();
    RecordSyncLocked();
}

void KeyboardStack::RecordSyncLocked() {
    std::unique_ptr<ProfileContents> copy = CopyOfLiveProfile(profile_);
    std::lock_guard lock(syncMutex_);
    synced_ = std::move(copy);
    syncedForeignWrites_ = Turn().ForeignWrites();
}

std::optional<ProfileContents> KeyboardStack::InStepCopy() {
    std::lock_guard lock(syncMutex_);
    if (synced_ == nullptr)
        return std::nullopt;
    return *synced_;
}

bool KeyboardStack::RebaseOnKeyboard(bool keepEdits) {
    const KeyboardTurn::Hold turn = Turn().Take(std::nullopt);
    std::unique_ptr<ProfileContents> edited;
    {
        const LiveProfile::Lock lock = profile_.LockProfile();
        edited = CopyOfLiveProfile(profile_);
    }
    std::unique_ptr<ProfileContents> base;
    uint64_t baseForeignWrites = 0;
    {
        std::lock_guard lock(syncMutex_);
        base = std::move(synced_);
        baseForeignWrites = syncedForeignWrites_;
    }
    ReloadFromKeyboard(keepEdits);
    if (!keepEdits)
        return true;
    const LiveProfile::Lock lock = profile_.LockProfile();
    std::unique_ptr<ProfileContents> rebased =
        RebaseEdits(*base, *edited, *CopyOfLiveProfile(profile_));
    const bool carried = rebased != nullptr;
    if (carried) {
        profile_.Install(std::move(*rebased));
    } else {
        // Still out of step: the next Apply tries again rather than writing over the keyboard.
        profile_.Install(std::move(*edited));
        std::lock_guard syncLock(syncMutex_);
        synced_ = std::move(base);
        syncedForeignWrites_ = baseForeignWrites;
    }
    store_->Window().RefreshKeyDescriptions();
    return carried;
}

KeyboardStack::ApplyOutcome KeyboardStack::ApplyToKeyboard(bool allProfiles) {
    ApplyOutcome outcome;
    const KeyboardTurn::Hold turn = Turn().Take();
    if (!turn) {
        outcome.turn = turn.Outcome();
        outcome.turnProblem = turn.Problem();
        return outcome;
    }
    if (KeyboardChangedElsewhere()) {
        if (!RebaseOnKeyboard(true)) {
            outcome.rebaseFailed = true;
            return outcome;
        }
        outcome.rebased = true;
        allProfiles = true; // the macros may have moved under keys of every profile
    }
    const LiveProfile::Lock lock = profile_.LockProfile();
    // Judged before the store file is touched: it must not keep what cannot reach the keyboard.
    if (!store_->KeyboardCanHold(profile_.Macros())) {
        outcome.refused = true;
        return outcome;
    }
    outcome.saved = store_->SaveProfileToStore(&outcome.saveError);
    outcome.downloaded = store_->ApplyProfileToKeyboard(allProfiles);
    if (outcome.downloaded)
        RecordSyncLocked();
    return outcome;
}

} // namespace tavrik
