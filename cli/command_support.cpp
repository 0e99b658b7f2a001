#include "cli/command_support.h"

#include "cli/failed_exchange_text.h"
#include "cli/keyboard_session.h"
#include "profile/profile_store.h"
#include "session/profile_mirror.h"

#include <algorithm>
#include <cstdio>

namespace tavrik::cli {

namespace {

inline constexpr std::string_view kNoKeyboardHint =
    "  Is it plugged in? \"tavrikctl watch\" waits for one to arrive; \"tavrikctl --device demo "
    "COMMAND\" tries a command on an emulated keyboard.";

ExitStatus StoreFileNotKept(KeyboardSession& session, const Output& output) {
    return output.Fail(ExitStatus::DeviceError,
                       "the keyboard's configuration could not be kept in the store file " +
                           session.Store().Paths().storeFile.string() + "; nothing was changed");
}

std::string EntryBytes(const KeyMapEntry& entry) {
    char text[9];
    std::snprintf(text, sizeof text, "%02x %02x %02x", entry.kind, entry.sub, entry.arg);
    return text;
}

bool OnlyReadBackDiffers(const std::vector<FailedExchange>& failed) {
    return !failed.empty() && std::ranges::all_of(failed, [](const FailedExchange& exchange) {
        return exchange.result == DeviceResult::DiffersAfterWrite;
    });
}

// After a failed operation: what of it reached the keyboard, what that means, and what to do.
std::string WhatReachedTheKeyboard(KeyboardSession& session, std::string_view what,
                                   std::string_view why,
                                   const std::vector<FailedExchange>& failed) {
    const KeyboardChanges changes = session.Watch().Changes();
    const std::string operation(what);
    if (!changes.AnyReachedTheKeyboard()) {
        if (!why.empty())
            return operation + " failed: " + std::string(why);
        return operation + " failed; nothing was written to the keyboard, which holds what it " +
               "held before";
    }
    std::string text;
    if (OnlyReadBackDiffers(failed) && changes.unanswered == 0)
        text = "every frame of " + operation + " reached the keyboard, but it stores the bytes " +
               "named above otherwise than they were sent";
    else
        text = operation + " failed part-way: the keyboard may now hold part of it (" +
               Counted(changes.acknowledged + changes.unanswered, "frame") + " went out)";
    if (changes.macrosCleared)
        text += ", and it plays no macros until a download is finished";
    if (session.Store().DownloadPending())
        return text + "; the store file keeps all of it, and the next command that writes to " +
               "the keyboard (or the desktop program) sends it whole";
    return text + "; run the command again";
}

} // namespace

void Output::Result(const JsonValue& document, std::string_view text) const {
    if (json)
        console.Line(document.Text());
    else
        console.Write(text);
}

ExitStatus Output::Fail(ExitStatus status, std::string_view message) const {
    console.Error(message);
    return status;
}

std::string Counted(size_t count, std::string_view thing) {
    return std::to_string(count) + " " + std::string(thing) + (count == 1 ? "" : "s");
}

ExitStatus RequireKeyboard(KeyboardSession& session, const Output& output) {
    if (session.KeyboardCount() > 0)
        return ExitStatus::Done;
    if (session.KeyboardNotAccessible()) {
        output.console.Error(
            "a keyboard is connected but cannot be opened (no keyboard: permission denied)");
        return output.Fail(ExitStatus::DeviceError, std::string(kKeyboardNotAccessibleAdvice) +
                                                        "\n  " +
                                                        std::string(kApplyUdevRulesCommand));
    }
    return output.Fail(ExitStatus::DeviceError,
                       "no keyboard attached\n" + std::string(kNoKeyboardHint));
}

bool SayWhereTheConfigurationIsFrom(KeyboardSession& session, const Output& output) {
    if (session.ProfileMirrorsKeyboard() || !session.Store().DownloadPending())
        return false;
    // The store file keeps what the cut-off download was to write: commands that read the
    // configuration read it there, and the next download sends all of it again.
    output.console.Error("the last download to the keyboard did not complete; the configuration "
                         "kept in " +
                         session.Store().Paths().storeFile.string() +
                         " is used in place of the keyboard's until a remap, macro change, "
                         "restore or import writes all of it again");
    return true;
}

ExitStatus RequireMirroredProfile(KeyboardSession& session, const Output& output) {
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    if (session.ProfileMirrorsKeyboard() || SayWhereTheConfigurationIsFrom(session, output))
        return ExitStatus::Done;
    if (!session.Keyboard().LastContents())
        return ReportTransfers(session, output, "reading the keyboard's key maps and macros", false,
                               DeviceResultName(DeviceResult::NoKeyboard));
    if (!session.Store().LiveProfileReadFromKeyboard())
        return StoreFileNotKept(session, output);
    return output.Fail(ExitStatus::DeviceError,
                       "the keyboard holds key map entries this program cannot write back as "
                       "they are (\"tavrikctl dump --keyboard\" names them); nothing was changed");
}

ExitStatus RequireReadableProfile(KeyboardSession& session, const Output& output) {
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    if (session.ProfileMirrorsKeyboard() || SayWhereTheConfigurationIsFrom(session, output))
        return ExitStatus::Done;
    const std::optional<KeyboardContents> contents = session.Keyboard().LastContents();
    if (!contents)
        return ReportTransfers(session, output, "reading the keyboard's key maps and macros", false,
                               DeviceResultName(DeviceResult::NoKeyboard));
    if (!session.Store().LiveProfileReadFromKeyboard())
        return StoreFileNotKept(session, output);
    const LiveProfile::Lock lock = session.Profile().LockProfile();
    for (const UnmirroredEntry& entry :
         EntriesNotMirrored(session.Profile().Record(), session.Profile().Macros(), *contents,
                            session.Facts().DefaultLayout()))
        output.console.Error("hardware profile " + std::to_string(entry.profile) +
                             ", key position " + std::to_string(entry.position) +
                             ": the keyboard holds " + EntryBytes(entry.held) +
                             ", which this program cannot read as it is; shown as it reads it (" +
                             EntryBytes(entry.built) + ")");
    return ExitStatus::Done;
}

ExitStatus RequireLighting(KeyboardSession& session, const Output& output) {
    if (const DeviceResult read = session.LightingReadResult(); read != DeviceResult::Done)
        return output.Fail(ExitStatus::DeviceError,
                           std::string("reading the lighting failed: ") + DeviceResultName(read));
    return ExitStatus::Done;
}

ExitStatus ReportTransfers(KeyboardSession& session, const Output& output, std::string_view what,
                           bool succeeded, std::string_view why) {
    const std::vector<FailedExchange> failed = session.Watch().FailedExchanges();
    for (const FailedExchange& exchange : failed)
        output.console.Error(std::string(what) + " failed while " +
                             DescribeFailedExchange(exchange));
    if (failed.empty() && succeeded)
        return ExitStatus::Done;
    return output.Fail(ExitStatus::DeviceError, WhatReachedTheKeyboard(session, what, why, failed));
}

ExitStatus ReportResult(KeyboardSession& session, const Output& output, std::string_view what,
                        DeviceResult result) {
    return ReportTransfers(session, output, what, result == DeviceResult::Done,
                           DeviceResultName(result));
}

ExitStatus SaveAndDownload(KeyboardSession& session, const Output& output, bool allProfiles) {
    session.Watch().Reset();
    const KeyboardStack::ApplyOutcome applied = session.Stack().ApplyToKeyboard(allProfiles);
    if (!applied.saved && !applied.refused)
        output.console.Error("could not update the store file " +
                             session.Store().Paths().storeFile.string() +
                             (applied.saveError.empty() ? "" : " (" + applied.saveError + ")"));
    return ReportTransfers(session, output, "the download", applied.downloaded, "");
}

ExitStatus ReportImport(KeyboardSession& session, const Output& output, ImportOutcome outcome,
                        const std::string& path, std::string_view done,
                        const std::function<ExitStatus()>& then) {
    if (outcome == ImportOutcome::Refused)
        return output.Fail(ExitStatus::BadFile, path + " was not " + std::string(done));
    const ExitStatus reported =
        ReportTransfers(session, output, "the download", outcome == ImportOutcome::Downloaded, "");
    if (reported != ExitStatus::Done)
        return reported;
    if (const ExitStatus after = then ? then() : ExitStatus::Done; after != ExitStatus::Done)
        return after;
    output.Result(JsonValue::MakeObject().Set(std::string(done), path),
                  path + " is now in hardware profiles 0, 1 and 2\n");
    return ExitStatus::Done;
}

} // namespace tavrik::cli
