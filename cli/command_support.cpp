#include "cli/command_support.h"

#include "cli/failed_exchange_text.h"
#include "cli/keyboard_session.h"
#include "profile/profile_store.h"

namespace tavrik::cli {

namespace {

inline constexpr std::string_view kNoKeyboardHint =
    "  Is it plugged in? \"tavrikctl watch\" waits for one to arrive; \"tavrikctl --device demo "
    "COMMAND\" tries a command on an emulated keyboard.";

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

ExitStatus RequireMirroredProfile(KeyboardSession& session, const Output& output) {
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    if (session.ProfileMirrorsKeyboard())
        return ExitStatus::Done;
    if (session.Store().DownloadPending()) {
        // The store file keeps what the cut-off download was to write: commands that read the
        // configuration read it there, and the next download sends all of it again.
        output.console.Error("the last download to the keyboard did not complete; the "
                             "configuration kept in " +
                             session.Store().Paths().storeFile.string() +
                             " is used in place of the keyboard's until a remap, macro change, "
                             "restore or import writes all of it again");
        return ExitStatus::Done;
    }
    if (!session.Keyboard().LastContents())
        return ReportTransfers(session, output, "reading the keyboard's key maps and macros", false,
                               DeviceResultName(DeviceResult::NoKeyboard));
    return output.Fail(ExitStatus::DeviceError,
                       "the keyboard's configuration could not be kept in the store file " +
                           session.Store().Paths().storeFile.string() + "; nothing was changed");
}

ExitStatus RequireLighting(KeyboardSession& session, const Output& output) {
    if (const DeviceResult read = session.LightingReadResult(); read != DeviceResult::Done)
        return output.Fail(ExitStatus::DeviceError,
                           std::string("reading the lighting failed: ") + DeviceResultName(read));
    return ExitStatus::Done;
}

ExitStatus ReportTransfers(KeyboardSession& session, const Output& output, std::string_view what,
                           bool succeeded, std::string_view nothingSent) {
    const std::vector<FailedExchange> failed = session.Watch().FailedExchanges();
    for (const FailedExchange& exchange : failed)
        output.console.Error(std::string(what) + " failed while " +
                             DescribeFailedExchange(exchange));
    if (!failed.empty())
        return ExitStatus::DeviceError;
    if (!succeeded)
        return output.Fail(ExitStatus::DeviceError,
                           std::string(what) + " failed: " + std::string(nothingSent));
    return ExitStatus::Done;
}

ExitStatus ReportResult(KeyboardSession& session, const Output& output, std::string_view what,
                        DeviceResult result) {
    return ReportTransfers(session, output, what, result == DeviceResult::Done,
                           DeviceResultName(result));
}

ExitStatus SaveAndDownload(KeyboardSession& session, const Output& output, bool allProfiles) {
    session.Watch().Reset();
    const KeyboardStack::ApplyOutcome applied = session.Stack().ApplyToKeyboard(allProfiles);
    if (!applied.saved)
        output.console.Error("could not update the store file " +
                             session.Store().Paths().storeFile.string() +
                             (applied.saveError.empty() ? "" : " (" + applied.saveError + ")"));
    return ReportTransfers(session, output, "the download", applied.downloaded,
                           "nothing was sent to the keyboard");
}

ExitStatus ReportImport(KeyboardSession& session, const Output& output, ImportOutcome outcome,
                        const std::string& path, std::string_view done,
                        const std::function<ExitStatus()>& then) {
    if (outcome == ImportOutcome::Refused)
        return output.Fail(ExitStatus::BadFile, path + " was not " + std::string(done));
    const ExitStatus reported =
        ReportTransfers(session, output, "the download", outcome == ImportOutcome::Downloaded,
                        "nothing was sent to the keyboard");
    if (reported != ExitStatus::Done)
        return reported;
    if (const ExitStatus after = then ? then() : ExitStatus::Done; after != ExitStatus::Done)
        return after;
    output.Result(JsonValue::MakeObject().Set(std::string(done), path),
                  path + " is now in hardware profiles 0, 1 and 2\n");
    return ExitStatus::Done;
}

} // namespace tavrik::cli
