#include "gui/keyboard_editor.h"

#include "assign/key_description.h"
#include "gui/download_report.h"
#include "gui/key_click_route.h"
#include "history/history_texts.h"
#include "history/step_names.h"
#include "profile/profile_transfer.h"
#include "session/profile_text_transfer.h"

#include <QCoreApplication>
#include <QTimer>

#include <future>
#include <map>

namespace tavrik {
namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Collects what RefreshKeyDescriptions and ResetLayerFunctions say about each button, with what
// the next Apply changes for the key of the button.
class KeyButtonLooks final : public KeyButtonView {
public:
    KeyButtonLooks() = default;
    KeyButtonLooks(const PendingChanges& pending, std::optional<size_t> activeLayer, bool bankB)
        : bankB_(bankB) {
        for (const PendingKey& key : pending.keys)
            if (key.layer == activeLayer)
                changes_[key.slot] = ToQString(PendingKeyText(key));
    }
    void SetKeyDescription(int buttonId, const KeyDescription& description) override {
        const auto change = changes_.find(RouteKeyClick(buttonId, false, bankB_).slot);
        looks.push_back({buttonId, ToQString(description.text), description.assigned,
                         change != changes_.end() ? change->second : QString()});
    }
    QList<KeyButtonLook> looks;

private:
    bool bankB_ = false;
    std::map<size_t, QString> changes_;
};

QStringList PendingLines(const PendingChanges& pending, std::optional<size_t> activeLayer) {
    QStringList lines;
    for (const PendingKey& key : pending.keys)
        lines << ToQString(PendingKeyLine(key, activeLayer));
    for (const PendingMacro& macro : pending.macros)
        lines << ToQString(PendingMacroLine(macro));
    return lines;
}

constexpr std::u16string_view kFinishDownloadQuestion =
    u"上次写入键盘没有完成，键盘上的设定可能不完整。是否现在把保存的设定重新写入键盘？";

constexpr std::u16string_view kKeepEditsQuestion =
    u"另一个程序修改了键盘上的设定。是否保留您尚未应用的更改？\n"
    u"选择“是”，这些更改会保留在键盘现在的设定之上；选择“否”，将放弃这些更改。";

constexpr std::u16string_view kEditsCannotBeCarriedOver =
    u"另一个程序修改了键盘上的设定，您尚未应用的更改无法与之合并（宏的总数超过 100 个）。"
    u"没有写入任何设定；请删除一些宏后再应用，或切换配置以放弃这些更改。";

// How often the window looks whether another program wrote to the keyboard.
constexpr int kOtherProgramsCheckMs = 1000;

std::u16string KeyboardBusyMessage(const std::string& holder) {
    const std::u16string who =
        holder.empty() ? std::u16string()
                       : u"（" + QString::fromStdString(holder).toStdU16String() + u"）";
    return u"键盘正被其他程序使用" + who + u"，没有写入任何设定。请稍后再试。";
}

// A lighting change the keyboard did not take: the failed frames as a download names them, or,
// where none went out, why.
std::u16string LightingFailureMessage(DeviceResult result,
                                      const std::vector<FailedExchange>& failed) {
    if (!failed.empty())
        return DownloadFailureMessage(failed);
    if (result == DeviceResult::KeyboardBusy)
        return KeyboardBusyMessage({});
    if (result == DeviceResult::NoKeyboard)
        return u"写入键盘失败，未检测到设备，灯光设定没有写入。";
    return u"写入键盘失败，灯光设定没有写入。";
}

} // namespace

KeyboardEditor::KeyboardEditor(std::unique_ptr<HidBridge> transport, StoragePaths storage,
                               LightingPreferencesSource preferences, UserDialogs dialogs,
                               QObject* parent)
    : QObject(parent)
    , dialogs_(std::move(dialogs))
    , watch_(std::make_unique<FrameWatch>(std::move(transport)))
    , stack_(std::make_unique<KeyboardStack>(*watch_, *this, *this, std::move(storage),
                                             std::move(preferences)))
    , switcher_(std::make_unique<ProfileSwitcher>(stack_->Store(), manager_))
    , worker_(std::make_unique<SerialWorker>()) {
    watch_->FollowWriteChecks(stack_->Commands());
}

KeyboardEditor::~KeyboardEditor() {
    Close();
}

void KeyboardEditor::Start() {
    stack_->Start();
    started_ = true;
    auto* check = new QTimer(this);
    connect(check, &QTimer::timeout, this, &KeyboardEditor::CheckForOtherPrograms);
    check->start(kOtherProgramsCheckMs);
}

void KeyboardEditor::CheckForOtherPrograms() {
    if (gate_.IsClosed() || followQueued_ || assignmentOpen_ || KeyboardCount() == 0)
        return;
    KeyboardTurn& turn = stack_->Turn();
    const bool unfollowed =
        stack_->KeyboardChangedElsewhere() && turn.ForeignWrites() != followedForeignWrites_;
    if (unfollowed || turn.OthersWroteSinceLastTurn()) {
        followQueued_ = true;
        Post([this] { FollowOtherProgramsJob(); });
    }
}

void KeyboardEditor::FollowOtherProgramsJob() {
    followQueued_ = false;
    if (assignmentOpen_) // its copies of the macros would go stale: once it has closed
        return;
    {
        // Taking the turn is what tells whether another program wrote since this one's last.
        const KeyboardTurn::Hold turn = stack_->Turn().Take(std::nullopt);
        followedForeignWrites_ = stack_->Turn().ForeignWrites();
        if (!turn || !stack_->KeyboardChangedElsewhere())
            return;
        if (!modified_) {
            stack_->ReloadFromKeyboard();
            PublishKeyboardState();
            return;
        }
    }
    // Asked without the turn: other programs go on while the user thinks.
    const bool keep = AskYesNo(kKeepEditsQuestion);
    if (!stack_->RebaseOnKeyboard(keep))
        ShowMessage(kEditsCannotBeCarriedOver);
    PublishKeyboardState();
}

void KeyboardEditor::PublishKeyboardState() {
    emit activeProfileChanged(stack_->Keyboard().CachedActiveProfileIndex());
    stack_->Store().BuildProfileMenu();
    PublishLightingState();
    {
        // In step with the keyboard again: nothing, or only the edits carried over, is pending.
        const LiveProfile::Lock lock = stack_->Profile().LockProfile();
        DescribeKeys();
    }
    PublishUndoNames();
}

bool KeyboardEditor::KeyboardArriving() const {
    return !gate_.IsClosed() && (!started_.load() || stack_->KeyboardCountPending());
}

void KeyboardEditor::Close() {
    gate_.Close();
    worker_->Stop();
    stack_->StopLink();
}

int KeyboardEditor::KeyboardCount() const {
    return gate_.IsClosed() ? 0 : stack_->KeyboardCount();
}

bool KeyboardEditor::KeyboardNotAccessible() const {
    return watch_->KeyboardPresentButNotAccessible();
}

bool KeyboardEditor::BankB() const {
    return !gate_.IsClosed() && stack_->Link().Indicator().BankB();
}

void KeyboardEditor::Post(std::function<void()> job) {
    worker_->Post([job = std::move(job)](std::stop_token) { job(); });
}

void KeyboardEditor::RunOnWorkerAndWait(std::function<void()> job) {
    if (gate_.IsClosed())
        return;
    // Only the job holds the promise: a job dropped because the worker stops destroys it, which
    // ends the wait too.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    worker_->Post([job = std::move(job), done = std::move(done)](std::stop_token) {
        job();
        done->set_value();
    });
    finished.wait();
}

void KeyboardEditor::PostApply() {
    Post([this] { Apply(); });
}

void KeyboardEditor::PostSwitchProfile(int index) {
    Post([this, index] { SwitchJob(index); });
}

void KeyboardEditor::PostRestoreDefaults(bool resetLighting) {
    Post([this, resetLighting] { RestoreDefaultsJob(resetLighting); });
}

void KeyboardEditor::PostImport(std::filesystem::path path) {
    Post([this, path = std::move(path)] { ImportJob(path); });
}

void KeyboardEditor::PostExport(std::filesystem::path path, BackupForm form) {
    Post([this, path = std::move(path), form] {
        const bool saved = form == BackupForm::Text ? ExportProfileAsText(*stack_, path)
                                                    : ExportProfile(stack_->Store(), path);
        if (!saved)
            ShowMessage(u"无法保存文件: " + path.u16string());
    });
}

void KeyboardEditor::PostLightingReread() {
    Post([this] {
        stack_->WithLighting([](LightingModel& lighting) { lighting.ReadLightingState(false); });
        PublishLightingState();
    });
}

void KeyboardEditor::PostProfileCaption() {
    Post([this] { stack_->Store().BuildProfileMenu(); });
}

void KeyboardEditor::PostLightingChange(std::function<DeviceResult(LightingModel&)> change,
                                        std::function<void(std::u16string failure)> done) {
    Post([this, change = std::move(change), done = std::move(done)]() mutable {
        // Only the change's own exchanges are named: the model reads the lighting again after a
        // failure, and those reads come after the failure is taken.
        watch_->Reset();
        std::u16string failure;
        stack_->WithLighting([&](LightingModel& lighting) {
            lighting.Change(change, [&](DeviceResult result) {
                failure = LightingFailureMessage(result, watch_->FailedExchanges());
            });
        });
        RunOnWindowThread(
            [done = std::move(done), failure = std::move(failure)] { done(failure); });
    });
}

void KeyboardEditor::PostLightingFailure(std::u16string failure) {
    Post([this, failure = std::move(failure)] {
        PublishLightingState();
        ShowMessage(failure);
    });
}

void KeyboardEditor::PostReselectActiveProfile(std::function<void(bool switched)> done) {
    Post([this, done = std::move(done)] {
        const bool switched = switcher_->SwitchProfile(stack_->Keyboard().GetActiveProfileIndex());
        if (switched)
            history_.Clear();
        PublishUndoNames();
        RunOnWindowThread([done, switched] { done(switched); });
    });
}

void KeyboardEditor::PostProfileManagerApply(ProfileListChoice choice,
                                             std::function<void(bool applied)> done) {
    Post([this, choice = std::move(choice), done = std::move(done)] {
        emit busyChanged(true);
        const bool applied = ApplyProfileManagerChoice(choice);
        emit busyChanged(false);
        PublishKeyboardState();
        RunOnWindowThread([done, applied] { done(applied); });
    });
}

bool KeyboardEditor::ApplyProfileManagerChoice(const ProfileListChoice& choice) {
    // The user is asked before the keyboard is held: other programs go on meanwhile.
    if (!AskToSaveWindowEdits(*this))
        return false;
    const KeyboardTurn::Hold turn = stack_->Turn().Take();
    if (!turn) {
        ShowMessage(KeyboardBusyMessage(turn.Problem()));
        return false;
    }
    if (!ApplyProfileChoice(stack_->Store(), choice,
                            UserPreferences(QCoreApplication::applicationName())))
        return false;
    stack_->MarkInStep();
    return true;
}

void KeyboardEditor::RunOnWindowThread(std::function<void()> then) {
    QMetaObject::invokeMethod(this, std::move(then), Qt::QueuedConnection);
}

void KeyboardEditor::PostReadAssignment(size_t slot) {
    Post([this, slot] { ReadAssignmentJob(slot); });
}

void KeyboardEditor::PostAssignment(size_t slot, AssignmentChoice choice,
                                    std::vector<MacroRecord> macros,
                                    std::vector<AppliedMacroStep> steps) {
    Post([this, slot, choice, macros = std::move(macros), steps = std::move(steps)]() mutable {
        AssignJob(slot, choice, macros, steps);
    });
}

void KeyboardEditor::ReloadFromKeyboard() {
    RunOnWorkerAndWait([this] { ReloadJob(); });
}

void KeyboardEditor::ReloadJob() {
    stack_->ReloadFromKeyboard();
    // A download was cut off (the keyboard unplugged, the program ended): the live profile is
    // what it was to write, and Apply stays enabled until it has been written.
    if (stack_->Store().DownloadPending() && AskYesNo(kFinishDownloadQuestion))
        Apply();
    PublishKeyboardState();
}

void KeyboardEditor::PublishLightingState() {
    emit lightingStateRead(
        stack_->WithLighting([](LightingModel& lighting) { return lighting.State(); }));
}

void KeyboardEditor::RefreshGKeyMarks() {
    // Called on the transport's callback thread, which must never wait for the profile lock: a
    // download holding it waits for answers that this very thread delivers.
    Post([this] {
        const LiveProfile::Lock lock = stack_->Profile().LockProfile();
        RefreshKeyDescriptions();
    });
}

void KeyboardEditor::SwitchJob(int index) {
    if (index == stack_->Keyboard().CachedActiveProfileIndex())
        return;
    if (!switcher_->SwitchProfile(index))
        return;
    // The edits were applied or dropped; they belong to the profile switched away from.
    history_.Clear();
    PublishUndoNames();
    emit activeProfileChanged(stack_->Keyboard().CachedActiveProfileIndex());
}

void KeyboardEditor::RestoreDefaultsJob(bool resetLighting) {
    EditProfile([this](LiveProfile& profile) {
        KeyButtonLooks view;
        if (!ResetLayerFunctions(view, profile.Record().layers, ActiveLayer(), BankB()))
            return std::u16string();
        EnableApply(true);
        return std::u16string(history_text::kRestoreDefaults);
    });
    if (resetLighting) {
        stack_->WithLighting([](LightingModel& lighting) { lighting.ResetLighting(); });
        PublishLightingState();
    }
    Apply();
}

void KeyboardEditor::ImportJob(const std::filesystem::path& path) {
    emit busyChanged(true);
    watch_->Reset();
    // A frame may fail before the last key map, which alone decides the outcome: whatever failed
    // is said, and Apply stays enabled to write all three profiles again.
    LiveProfile& profile = stack_->Profile();
    ProfileHistory::Edit before = [&] {
        const LiveProfile::Lock lock = profile.LockProfile();
        return history_.Begin(profile);
    }();
    const ImportOutcome outcome = ImportProfileOrText(*stack_, path);
    if (outcome != ImportOutcome::Refused &&
        ReportFailedDownload(outcome == ImportOutcome::Downloaded)) {
        MarkAllProfilesChanged();
        EnableApply(true);
        // Not written whole: the import waits for Apply like any edit, and can be undone.
        const LiveProfile::Lock lock = profile.LockProfile();
        history_.Commit(profile, std::move(before), ImportStepName(path.filename().u16string()));
    } else if (outcome != ImportOutcome::Refused) {
        history_.Clear(); // the keyboard holds the file's profile whole, as after a reload
    }
    if (outcome != ImportOutcome::Refused) {
        const LiveProfile::Lock lock = profile.LockProfile();
        DescribeKeys();
    }
    PublishUndoNames();
    if (outcome != ImportOutcome::Refused)
        PublishLightingState(); // a text may have brought its lighting
    emit busyChanged(false);
}

void KeyboardEditor::ReadAssignmentJob(size_t slot) {
    AssignmentStart start{.slot = slot, .activeLayer = ActiveLayer()};
    {
        LiveProfile& profile = stack_->Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        const KeyFunctionLayers& layers = profile.Record().layers;
        if (start.activeLayer && slot < kLayerSlots)
            start.entry = layers[*start.activeLayer][slot];
        start.macros = profile.Macros();
        start.layers = std::make_shared<const KeyFunctionLayers>(layers);
    }
    emit assignmentRead(start);
}

void KeyboardEditor::AssignJob(size_t slot, const AssignmentChoice& choice,
                               std::vector<MacroRecord>& macros,
                               const std::vector<AppliedMacroStep>& steps) {
    const std::optional<size_t> layer = ActiveLayer();
    if (!layer)
        return;
    LiveProfile& profile = stack_->Profile();
    bool otherProfilesChanged = false;
    std::shared_ptr<const KeyFunctionLayers> written;
    {
        const LiveProfile::Lock lock = profile.LockProfile();
        otherProfilesChanged =
            ApplyChangesOtherProfiles(profile.Record().layers, profile.Macros(), macros, *layer);
        ApplyMacroSteps(steps);
        EditProfile([&](LiveProfile& edited) {
            TextTable& texts = edited.Texts();
            const std::optional<KeyFunctionEntry> entry =
                ApplyAssignment(edited.Record().layers, edited.Macros(), macros, choice,
                                {.activeLayer = *layer, .editedSlot = slot},
                                [&texts](size_t entryNumber) { texts.Release(entryNumber); });
            return entry ? AssignmentStepName(slot, *entry, edited.Macros()) : std::u16string();
        });
        written = std::make_shared<const KeyFunctionLayers>(profile.Record().layers);
    }
    emit assignmentWritten(written);
    if (otherProfilesChanged)
        MarkAllProfilesChanged();
    EnableApply(true);
}

void KeyboardEditor::Apply() {
    emit busyChanged(true);
    if (modified_) {
        ApplyChanges();
        // What the keyboard now holds is no longer pending.
        const LiveProfile::Lock lock = stack_->Profile().LockProfile();
        DescribeKeys();
    }
    emit busyChanged(false);
}

void KeyboardEditor::ApplyChanges() {
    const bool allProfiles = allProfilesPending_.exchange(false);
    watch_->Reset();
    const KeyboardStack::ApplyOutcome applied = stack_->ApplyToKeyboard(allProfiles);
    bool exchangesFailed = false;
    if (applied.turn != TurnOutcome::Taken)
        ShowMessage(KeyboardBusyMessage(applied.turnProblem));
    else if (applied.rebaseFailed)
        ShowMessage(kEditsCannotBeCarriedOver);
    else if (!applied.refused) // a refusal has said why, with nothing sent
        exchangesFailed = ReportFailedDownload(applied.downloaded);
    if (applied.rebased) // the window shows the keys other programs gave too
        PublishKeyboardState();
    if (applied.saved && applied.downloaded && !exchangesFailed)
        EnableApply(false);
    else if (allProfiles)
        allProfilesPending_ = true;
}

bool KeyboardEditor::ReportFailedDownload(bool succeeded) {
    const std::vector<FailedExchange> failed = watch_->FailedExchanges();
    if (failed.empty() && succeeded)
        return false;
    ShowMessage(DownloadFailureMessage(failed, watch_->Changes()));
    return true;
}

void KeyboardEditor::ShowMessage(std::u16string_view text) {
    const QString message = ToQString(text);
    gate_.Run([this, message] { dialogs_.message(message); });
}

bool KeyboardEditor::AskYesNo(std::u16string_view question) {
    const QString text = ToQString(question);
    return gate_.Call<bool>([this, text] { return dialogs_.question(text); }).value_or(false);
}

void KeyboardEditor::EnableApply(bool on) {
    modified_ = on;
    emit applyEnabledChanged(on);
}

void KeyboardEditor::RefreshKeyDescriptions() {
    DescribeKeys();
}

PendingChanges KeyboardEditor::DescribeKeys() {
    LiveProfile& profile = stack_->Profile();
    const std::optional<size_t> layer = ActiveLayer();
    // Mid-rebase nothing is known to be in step: no key is marked until the rebase ends.
    const std::optional<ProfileContents> inStep = stack_->InStepCopy();
    PendingChanges pending =
        inStep ? FindPendingChanges(*inStep, profile.Copy()) : PendingChanges{};
    KeyButtonLooks view(pending, layer, BankB());
    tavrik::RefreshKeyDescriptions(view, profile.Record().layers, profile.Macros(), layer, BankB());
    emit keyButtonsDescribed(view.looks);
    emit pendingChangesListed(PendingLines(pending, layer));
    return pending;
}

void KeyboardEditor::ShowProfileCaption(std::u16string_view caption, std::u16string_view tooltip) {
    emit profileCaptionChanged(ToQString(caption), ToQString(tooltip));
}

std::optional<size_t> KeyboardEditor::ActiveLayer() const {
    const int index = stack_->Keyboard().CachedActiveProfileIndex();
    if (index < 0 || index >= static_cast<int>(kHardwareProfileCount))
        return std::nullopt;
    return static_cast<size_t>(index);
}

} // namespace tavrik
