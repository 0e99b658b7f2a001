#include "cli/tavrikctl.h"

#include "cli/commands.h"
#include "cli/help_text.h"
#include "cli/keyboard_session.h"
#include "cli/profile_file_check.h"
#include "cli/profile_source.h"
#include "cli/termination_signals.h"

#include <sstream>

#ifndef TAVRIK_VERSION
#define TAVRIK_VERSION "unknown"
#endif

namespace tavrik::cli {

namespace {

int Status(ExitStatus status) {
    return static_cast<int>(status);
}

ExitStatus RunWithoutKeyboard(const Output& output, const Request& request) {
    if (const auto* help = std::get_if<HelpRequest>(&request)) {
        const std::optional<std::string> text = HelpText(help->topic);
        if (!text) {
            output.console.Error("no help for \"" + help->topic + "\"");
            return ExitStatus::UsageError;
        }
        output.console.Write(*text);
        return ExitStatus::Done;
    }
    if (std::holds_alternative<VersionRequest>(request)) {
        output.console.Line(std::string("tavrikctl ") + TAVRIK_VERSION);
        return ExitStatus::Done;
    }
    if (const auto* names = std::get_if<NamesRequest>(&request))
        return RunNames(output, *names);
    if (const auto* text = std::get_if<ProfileTextRequest>(&request))
        return RunDiff(nullptr, output, *text);
    const auto& file = std::get<FileRequest>(request);
    return file.verb == FileVerb::Validate ? RunValidate(output, file) : RunDumpFile(output, file);
}

// The file a command writes to the keyboard from is judged whole before the keyboard is reached,
// so that a file it refuses sends no frame at all. Empty when there is nothing to judge or the
// file is acceptable; the command judges it again when it runs.
std::string InputFileProblem(const Request& request) {
    if (const auto* file = std::get_if<FileRequest>(&request);
        file && file->verb == FileVerb::Restore)
        return ProfileFileProblem(file->path);
    if (const auto* text = std::get_if<ProfileTextRequest>(&request);
        text && text->verb == TextVerb::Import) {
        const ProfileSource source = ReadProfileSource(text->path);
        if (const auto* problem = std::get_if<std::string>(&source))
            return *problem;
    }
    return {};
}

ExitStatus RunFileCommand(KeyboardSession& session, const Output& output,
                          const FileRequest& request) {
    switch (request.verb) {
    case FileVerb::Backup:
        return RunBackup(session, output, request);
    case FileVerb::Restore:
        return RunRestore(session, output, request);
    case FileVerb::Dump:
        return RunDumpKeyboard(session, output);
    case FileVerb::Validate:
        break;
    }
    return RunValidate(output, request);
}

ExitStatus RunProfileText(KeyboardSession& session, const Output& output,
                          const ProfileTextRequest& request) {
    switch (request.verb) {
    case TextVerb::Export:
        return RunExportText(session, output, request);
    case TextVerb::Import:
        return RunImport(session, output, request);
    case TextVerb::Diff:
        break;
    }
    return RunDiff(&session, output, request);
}

} // namespace

ExitStatus RunCommand(KeyboardSession& session, const Output& output, const Request& request,
                      std::istream& input) {
    return std::visit(
        [&](const auto& command) -> ExitStatus {
            using Command = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<Command, InfoRequest>)
                return RunInfo(session, output);
            else if constexpr (std::is_same_v<Command, ProfileRequest>)
                return RunProfile(session, output, command);
            else if constexpr (std::is_same_v<Command, FileRequest>)
                return RunFileCommand(session, output, command);
            else if constexpr (std::is_same_v<Command, ProfileTextRequest>)
                return RunProfileText(session, output, command);
            else if constexpr (std::is_same_v<Command, RemapRequest>)
                return RunRemap(session, output, command);
            else if constexpr (std::is_same_v<Command, MacroRequest>)
                return RunMacro(session, output, command, input);
            else if constexpr (std::is_same_v<Command, LightingRequest>)
                return RunLighting(session, output, command);
            else if constexpr (std::is_same_v<Command, WatchRequest>)
                return RunWatch(session, output, command);
            else if constexpr (std::is_same_v<Command, DoctorRequest>)
                return RunDoctor(session, output);
            else
                return RunWithoutKeyboard(output, request);
        },
        request);
}

int RunTavrikctl(std::span<const std::string_view> args, Console& console, std::istream& input,
                 const char* deviceEnvironment) {
    auto parsed = ParseCommandLine(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        console.Error(usage->message);
        console.ErrorText(UsageText(usage->command));
        return Status(ExitStatus::UsageError);
    }
    const CommandLine& line = std::get<CommandLine>(parsed);
    const Output output{console, line.json};
    if (!NeedsKeyboard(line.request))
        return Status(RunWithoutKeyboard(output, line.request));

    std::string error;
    const std::optional<std::string_view> flag =
        line.device ? std::optional<std::string_view>(*line.device) : std::nullopt;
    const std::optional<DeviceChoice> choice = ChooseDevice(flag, deviceEnvironment, &error);
    if (!choice)
        return Status(output.Fail(ExitStatus::UsageError, error));
    if (std::holds_alternative<DoctorRequest>(line.request))
        return Status(RunDoctor(*choice, output));
    if (const std::string problem = InputFileProblem(line.request); !problem.empty())
        return Status(output.Fail(ExitStatus::BadFile, problem));
    if (std::holds_alternative<WatchRequest>(line.request))
        BlockTerminationSignals(); // before the session starts any thread
    // Standard input is read before the keyboard's turn is taken: a command waiting for its
    // input (someone typing, a slow pipe) must not keep other programs from the keyboard.
    std::istringstream readAhead;
    std::istream* commandInput = &input;
    if (const auto* macro = std::get_if<MacroRequest>(&line.request);
        macro && macro->verb == MacroVerb::Actions && macro->argument == "-") {
        std::string problem;
        const std::optional<std::string> text = ReadActionInput(input, problem);
        if (!text)
            return Status(output.Fail(ExitStatus::BadFile, problem));
        readAhead.str(*text);
        commandInput = &readAhead;
    }
    const std::unique_ptr<KeyboardSession> session =
        KeyboardSession::Open(*choice, console, &error, line.turnWait);
    if (!session)
        return Status(output.Fail(ExitStatus::DeviceError, "cannot reach the keyboard: " + error));
    // Watching runs until interrupted: other programs have the keyboard between its reads.
    if (std::holds_alternative<WatchRequest>(line.request))
        session->ReleaseTurn();
    session->Commands().CheckWrites(line.verifyWrites);
    session->Commands().WriteEveryFrame(line.writeEveryFrame);
    return Status(RunCommand(*session, output, line.request, *commandInput));
}

} // namespace tavrik::cli
