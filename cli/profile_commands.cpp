// tavrikctl profile, backup, restore and validate: the hardware profiles and profile files.
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/profile_file_check.h"
#include "files/file_read.h"
#include "profile/profile_file.h"
#include "profile/profile_header.h"
#include "profile/profile_manager_model.h"
#include "profile/profile_switcher.h"
#include "profile/profile_transfer.h"

#include <optional>
#include <string>

namespace tavrik::cli {

namespace {

std::optional<ProfileHeader> ReadHeader(const std::string& path) {
    const FileRead read = ReadWholeFile(path, kProfileFileKind);
    if (read.status != FileReadStatus::Read || read.bytes.size() < kProfileHeaderSize)
        return std::nullopt;
    return ParseProfileHeader(std::span(read.bytes).first<kProfileHeaderSize>());
}

} // namespace

ExitStatus RunProfile(KeyboardSession& session, const Output& output,
                      const ProfileRequest& request) {
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    session.Watch().Reset();
    if (request.select) {
        ProfileManagerModel manager;
        ProfileSwitcher(session.Store(), manager).SwitchProfile(*request.select);
        const bool switched = session.Facts().ActiveProfile() == *request.select;
        const ExitStatus reported = ReportTransfers(session, output, "switching the profile",
                                                    switched, "the keyboard kept its profile");
        if (reported != ExitStatus::Done)
            return reported;
    }
    const int active = session.Keyboard().GetActiveProfileIndex();
    if (active < 0)
        return ReportTransfers(session, output, "reading the active hardware profile", false,
                               DeviceResultName(DeviceResult::NoKeyboard));
    output.Result(JsonValue::MakeObject().Set("activeProfile", active),
                  "active hardware profile: " + std::to_string(active) + "\n");
    return ExitStatus::Done;
}

ExitStatus RunBackup(KeyboardSession& session, const Output& output, const FileRequest& request) {
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    session.Watch().Reset();
    std::string writeError;
    if (session.Store().ReadKeyboardToProfileFile(request.path, &writeError)) {
        output.Result(JsonValue::MakeObject().Set("backup", request.path),
                      "the keyboard's configuration is in " + request.path + "\n");
        return ExitStatus::Done;
    }
    if (!session.Watch().FailedExchanges().empty() || !session.Keyboard().LastContents() ||
        session.Facts().ActiveProfile() < 0)
        return ReportTransfers(session, output, "reading the keyboard", false,
                               DeviceResultName(DeviceResult::NoKeyboard));
    return output.Fail(ExitStatus::BadFile,
                       writeError.empty() ? "cannot write " + request.path : writeError);
}

ExitStatus RunRestore(KeyboardSession& session, const Output& output, const FileRequest& request) {
    if (const std::string problem = ProfileFileProblem(request.path); !problem.empty())
        return output.Fail(ExitStatus::BadFile, problem);
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    session.Watch().Reset();
    return ReportImport(session, output, ImportProfile(session.Store(), request.path), request.path,
                        "restored");
}

ExitStatus RunValidate(const Output& output, const FileRequest& request) {
    std::string problem = ProfileFileProblem(request.path);
    const std::optional<ProfileHeader> header = ReadHeader(request.path);
    if (problem.empty() && !header)
        problem = "cannot read " + request.path;
    if (!problem.empty()) {
        if (output.json)
            output.console.Line(JsonValue::MakeObject()
                                    .Set("path", request.path)
                                    .Set("valid", false)
                                    .Set("reason", problem)
                                    .Text());
        return output.Fail(ExitStatus::BadFile, problem);
    }
    output.Result(JsonValue::MakeObject()
                      .Set("path", request.path)
                      .Set("valid", true)
                      .Set("macroCount", header->macroCount)
                      .Set("textBytes", header->textBytes)
                      .Set("totalLength", header->totalLength),
                  request.path + ": a valid profile file with " +
                      Counted(header->macroCount, "macro") + " and " +
                      std::to_string(header->textBytes) + " bytes of texts\n");
    return ExitStatus::Done;
}

} // namespace tavrik::cli
