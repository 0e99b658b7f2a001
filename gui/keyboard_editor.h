#pragma once
// The main window's side of the keyboard, off the window's thread. The window only draws and
// takes the user's commands; everything that reads or writes the keyboard, the live profile or
// the store file runs here, one job after the other on one keyboard worker, so the window keeps
// repainting while a download runs.
//
// It is what the core sees as the main window (MainWindowPort for the device link's events,
// ProfileWindow for the profile operations). What the window must show comes back as queued
// signals, computed on the thread that changed it, under the lock it already holds. Questions
// and messages for the user are blocking calls into the window's thread through a gate that
// closing opens for good, so closing never waits for a worker that waits for the window.
//
// Locks: the window's thread never takes the profile lock (a worker that holds it may be
// waiting for an answer from the window). Edits of the live profile are posted here.
//
// Undo and redo: every edit of the live profile made here is a step of its undo history
// (history/profile_history.h), kept, undone and redone on the keyboard worker like any other
// edit. The history ends where the profile is replaced as a whole (a reload, another program's
// write followed, the profile manager's Apply, an import written whole) and at a hardware profile
// switch; Apply does not end it. What the next Apply will change is the live profile against the
// profile last in step with the keyboard (KeyboardStack::InStepCopy): the key buttons carry it,
// the window lists it, and "全部还原" makes the live profile that again, as one more step.

#include "assign/assignment_apply.h"
#include "events/serial_worker.h"
#include "gui/gui_thread_gate.h"
#include "history/macro_edit_history.h"
#include "history/pending_changes.h"
#include "history/profile_history.h"
#include "lighting/lighting_state.h"
#include "profile/profile_manager_apply.h"
#include "profile/profile_manager_model.h"
#include "profile/profile_switcher.h"
#include "session/frame_watch.h"
#include "session/keyboard_stack.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tavrik {

// What "备份" writes: a profile file, or the profile and the keyboard's lighting as text.
enum class BackupForm { ProfileFile, Text };

// What a key or G-key button shows: its description as the tooltip, the assigned mark, and what
// the next Apply changes for it ("已更改: Q → W", empty when nothing).
struct KeyButtonLook {
    int buttonId = 0;
    QString description;
    bool assigned = false;
    QString change;
};

// The names of the steps that undo and redo would take; empty when there is none.
struct UndoNames {
    QString undo;
    QString redo;
};

// What the assignment dialog opens on, read under the profile lock: the edited key's entry in
// the active layer, and copies of the macros and of every layer (the macro tab asks before it
// deletes a macro that keys play). Without an active layer (no keyboard answers) there is no
// entry to edit.
struct AssignmentStart {
    size_t slot = 0;
    std::optional<size_t> activeLayer{};
    KeyFunctionEntry entry{};
    std::vector<MacroRecord> macros{};
    std::shared_ptr<const KeyFunctionLayers> layers{};
};

class KeyboardEditor : public QObject, public MainWindowPort, public ProfileWindow {
    Q_OBJECT
public:
    // Run on the window's thread, modal.
    struct UserDialogs {
        std::function<void(const QString& text)> message;
        std::function<bool(const QString& question)> question; // true for Yes
    };

    KeyboardEditor(std::unique_ptr<HidBridge> transport, StoragePaths storage,
                   LightingPreferencesSource preferences, UserDialogs dialogs,
                   QObject* parent = nullptr);
    ~KeyboardEditor() override;

    // The standing reads and the count of keyboards attached at start.
    void Start();
    // The window has finished its initialisation: the presence monitor may go on.
    void SetReady() { ready_ = true; }
    // From the window's thread when the program ends: the gate closes, the worker and the device
    // link stop. Idempotent; nothing is sent afterwards.
    void Close();

    int KeyboardCount() const;
    bool KeyboardNotAccessible() const;
    // Not started yet, or a keyboard just plugged in is being read: the count may be about to
    // change.
    bool KeyboardArriving() const;
    bool BankB() const;
    KeyboardStack& Stack() { return *stack_; }
    FrameWatch& Watch() { return *watch_; }

    // The window's commands, run on the keyboard worker in the order posted.
    void PostApply();
    void PostSwitchProfile(int index);
    // "Default" after the user said Yes: the active layer's keys and the G keys of the bank in
    // force back to their default function, the lighting reset too when asked, then Apply.
    void PostRestoreDefaults(bool resetLighting);
    // A profile file or a profile written as text, told apart by the file's first bytes.
    void PostImport(std::filesystem::path path);
    void PostExport(std::filesystem::path path, BackupForm form = BackupForm::ProfileFile);
    void PostLightingReread();
    // The profile button's caption, which asks the keyboard for its active profile when needed.
    void PostProfileCaption();
    // A lighting change of the panel, made through LightingModel::Change: when the keyboard does
    // not take it, the model holds what the keyboard holds afterwards. `done` runs afterwards on
    // the thread this editor lives on (the window's) with what to tell the user, empty when the
    // keyboard took it; this lets the panel keep one write in flight and tell of a failed change
    // once, when it is over.
    void PostLightingChange(std::function<DeviceResult(LightingModel&)> change,
                            std::function<void(std::u16string failure)> done);
    // A failed lighting change is over: the panel shows the lighting the keyboard holds, then the
    // user reads `failure`.
    void PostLightingFailure(std::u16string failure);
    // Turning the lighting edit mode on re-selects the active hardware profile (unsaved edits
    // are saved or discarded, refused while the assignment dialog is open); `done` gets whether
    // it was switched, on the window's thread.
    void PostReselectActiveProfile(std::function<void(bool switched)> done);
    // The profile manager's Apply (see ApplyProfileList); `done` gets whether it was done (the
    // keyboard took the checked row's profile), on the window's thread.
    void PostProfileManagerApply(ProfileListChoice choice, std::function<void(bool applied)> done);
    // A macro deletion moved the macros other profiles' keys refer to: the next Apply sends all
    // three key maps.
    void MarkAllProfilesChanged() { allProfilesPending_ = true; }
    void SetAssignmentDialogOpen(bool open) { assignmentOpen_ = open; }
    // The assignment dialog's side: reads what it opens on (assignmentRead), and writes its
    // choice and macro list into the active layer's slot, marking the window modified.
    void PostReadAssignment(size_t slot);
    // The macro tab's steps since its last Apply (`steps`, oldest first) become steps of the
    // live profile's undo history, then the assignment another.
    void PostAssignment(size_t slot, AssignmentChoice choice, std::vector<MacroRecord> macros,
                        std::vector<AppliedMacroStep> steps = {});
    // The live profile's undo history; the window is modified afterwards exactly when the next
    // Apply would change the keyboard.
    void PostUndo();
    void PostRedo();
    // "全部还原": the live profile becomes what the keyboard holds, as one undo step.
    void PostRevertAll();
    // Runs `then` on the keyboard worker once every job posted before it has run (hand-overs and
    // tests that must not block the window's thread).
    void PostAfterQueuedJobs(std::function<void()> then) { Post(std::move(then)); }

    // MainWindowPort.
    void ReloadFromKeyboard() override;
    void Hide() override { emit hideRequested(); }
    bool IsReady() const override { return ready_.load(); }
    void SetTrayState(int mode, int iconId) override { emit trayStateRequested(mode, iconId); }
    void RecheckKeyboardAccess() override { emit keyboardAccessRecheckRequested(); }
    void RefreshGKeyMarks() override;
    void SetBankLook(bool bankB) override { emit bankLookChanged(bankB); }
    void RequestLightingReread() override { emit lightingRereadRequested(); }
    // Both interfaces.
    void ShowMessage(std::u16string_view text) override;

    // ProfileWindow.
    bool AskYesNo(std::u16string_view question) override;
    bool IsModified() const override { return modified_.load(); }
    void EnableApply(bool on) override;
    void Apply() override;
    void RefreshKeyDescriptions() override;
    void ShowProfileCaption(std::u16string_view caption, std::u16string_view tooltip) override;
    bool IsAssignmentDialogOpen() const override { return assignmentOpen_.load(); }

signals:
    void keyButtonsDescribed(const QList<tavrik::KeyButtonLook>& looks);
    void applyEnabledChanged(bool on);
    void activeProfileChanged(int index);
    void profileCaptionChanged(const QString& caption, const QString& tooltip);
    void hideRequested();
    void trayStateRequested(int mode, int iconId);
    void keyboardAccessRecheckRequested();
    void bankLookChanged(bool bankB);
    // The keyboard changed its lighting: the window re-reads it through its timer.
    void lightingRereadRequested();
    void lightingStateRead(const tavrik::LightingState& state);
    // A download starts (true) or has ended (false).
    void busyChanged(bool busy);
    void assignmentRead(const tavrik::AssignmentStart& start);
    // The assignment was written: the key functions of every layer afterwards.
    void assignmentWritten(const std::shared_ptr<const tavrik::KeyFunctionLayers>& layers);
    // The undo history moved: what undo and redo would take now.
    void undoNamesChanged(const tavrik::UndoNames& names);
    // What the next Apply will change, a line for each key and macro; empty when nothing.
    void pendingChangesListed(const QStringList& lines);
    // An undo or redo has run, whether or not there was a step to take (the assignment dialog
    // that asked for it reads the key again).
    void historyMoved();

private:
    void Post(std::function<void()> job);
    void RunOnWorkerAndWait(std::function<void()> job);
    void ReloadJob();
    void SwitchJob(int index);
    void RestoreDefaultsJob(bool resetLighting);
    void ImportJob(const std::filesystem::path& path);
    void ReadAssignmentJob(size_t slot);
    void AssignJob(size_t slot, const AssignmentChoice& choice, std::vector<MacroRecord>& macros,
                   const std::vector<AppliedMacroStep>& steps);
    // Makes the macro tab's steps, one history step each, on the live profile. Called with the
    // profile lock held.
    void ApplyMacroSteps(const std::vector<AppliedMacroStep>& steps);
    // Runs `edit` under the profile lock and keeps what it changed as an undo step with the name
    // it returns.
    void EditProfile(const std::function<std::u16string(LiveProfile&)>& edit);
    // Undo (true) or redo (false) of one step, then what the window shows of it.
    void MoveInHistory(bool undo);
    void PublishUndoNames();
    // The key buttons' looks and the list of what the next Apply changes; returns that list.
    // Called with the profile lock held.
    PendingChanges DescribeKeys();
    // After the history moved: Apply is enabled exactly when it has something to write.
    void EnableApplyForPending(const PendingChanges& pending);
    void ApplyChanges();
    bool ApplyProfileManagerChoice(const ProfileListChoice& choice);
    // After a download: when it failed, or a frame of it did, tells what failed and what reached
    // the keyboard, and gives true.
    bool ReportFailedDownload(bool succeeded);
    void PublishLightingState();
    // The active profile, the profile caption and the lighting, after the keyboard was read.
    void PublishKeyboardState();
    // Another program wrote to the keyboard: the window follows, asking first when it holds
    // unapplied edits (keep them on top of what the keyboard holds now, or drop them).
    void CheckForOtherPrograms();
    void FollowOtherProgramsJob();
    void RunOnWindowThread(std::function<void()> then);
    std::optional<size_t> ActiveLayer() const;

    UserDialogs dialogs_;
    GuiThreadGate gate_;
    std::unique_ptr<FrameWatch> watch_;
    std::unique_ptr<KeyboardStack> stack_;
    ProfileManagerModel manager_;
    std::unique_ptr<ProfileSwitcher> switcher_;
    ProfileHistory history_; // the keyboard worker's alone
    std::atomic<bool> ready_{false};
    std::atomic<bool> started_{false};
    std::atomic<bool> modified_{false};
    std::atomic<bool> assignmentOpen_{false};
    std::atomic<bool> allProfilesPending_{false};
    std::atomic<bool> followQueued_{false};
    std::atomic<uint64_t> followedForeignWrites_{0};
    std::unique_ptr<SerialWorker> worker_; // last: stopped before what its jobs use goes
};

} // namespace tavrik
