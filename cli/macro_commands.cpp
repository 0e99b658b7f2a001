// tavrikctl macro: list, show, add, rm, rename, loop and actions. Changes go through the macro
// editor of the assignment dialog, with its limits and rules, and are applied as its OK and the
// main window's Apply apply them.
#include "assign/assignment_apply.h"
#include "cli/action_text.h"
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/macro_reference.h"
#include "cli/macro_report.h"
#include "keys/text.h"
#include "macro/macro_editor.h"

#include <algorithm>
#include <istream>
#include <iterator>

namespace tavrik::cli {

namespace {

// The editor's messages go to standard error; its questions get the answer the command line
// gave in advance (--force), since nobody is there to be asked.
class CommandPrompts final : public MacroPrompts {
public:
    CommandPrompts(Console& console, bool agree)
        : console_(console)
        , agree_(agree) {}

    void Inform(std::u16string_view text) override { console_.SystemMessage(text); }
    bool Ask(std::u16string_view) override { return agree_; }

private:
    Console& console_;
    bool agree_;
};

struct Edit {
    MacroEditor& editor;
    const MacroRequest& request;
    std::istream& input;
};

// Standard input is read as it comes, up to the same bound as a file.
std::optional<std::string> ReadActionInput(std::istream& input, std::string& problem) {
    std::string text;
    char buffer[4096];
    while (input.read(buffer, sizeof buffer) || input.gcount() > 0) {
        text.append(buffer, static_cast<size_t>(input.gcount()));
        if (text.size() > kActionFileKind.largestSize) {
            problem = "standard input: too large for " + std::string(kActionFileKind.name) +
                      " (more than " + std::to_string(kActionFileKind.largestSize) + " bytes)";
            return std::nullopt;
        }
    }
    if (input.bad()) {
        problem = "cannot read standard input";
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> ReadActionFile(const std::string& path, std::string& problem) {
    const FileRead read = ReadWholeFile(path, kActionFileKind);
    if (read.status != FileReadStatus::Read) {
        problem = FileReadProblem(read, path, kActionFileKind);
        return std::nullopt;
    }
    return std::string(read.bytes.begin(), read.bytes.end());
}

bool NameTakenByAnother(std::span<const MacroRecord> macros, std::u16string_view name,
                        std::optional<size_t> except) {
    for (size_t i = 0; i < macros.size(); ++i) {
        if (i != except && StoredMacroName(macros[i]) == name)
            return true;
    }
    return false;
}

// A name for add and rename: not empty, not too long, not another macro's.
std::optional<std::string> NameProblem(std::span<const MacroRecord> macros,
                                       const std::u16string& name, std::optional<size_t> except) {
    if (name.size() > kMaxMacroNameLength)
        return "a macro name has at most " + std::to_string(kMaxMacroNameLength) + " characters";
    if (NameTakenByAnother(macros, name, except))
        return "another macro is already named \"" + Utf8From(name) + "\"";
    return std::nullopt;
}

ExitStatus AddMacro(const Output& output, Edit edit) {
    const std::u16string name = Utf16From(edit.request.macro);
    if (auto problem = NameProblem(edit.editor.Records(), name, std::nullopt))
        return output.Fail(ExitStatus::UsageError, *problem);
    const size_t before = edit.editor.Records().size();
    edit.editor.AddMacro();
    if (edit.editor.Records().size() == before)
        return output.Fail(ExitStatus::UsageError, "no macro was added");
    edit.editor.TypeMacroName(name);
    return ExitStatus::Done;
}

ExitStatus RemoveMacro(const Output& output, Edit edit) {
    const size_t before = edit.editor.Records().size();
    edit.editor.DeleteMacro();
    if (edit.editor.Records().size() == before)
        return output.Fail(ExitStatus::UsageError,
                           "keys still play macro \"" + edit.request.macro +
                               "\"; tavrikctl macro rm --force deletes it and sets those keys "
                               "back to their default function");
    return ExitStatus::Done;
}

ExitStatus RenameMacro(const Output& output, Edit edit) {
    const std::u16string name = Utf16From(edit.request.argument);
    if (auto problem = NameProblem(edit.editor.Records(), name, edit.editor.CurrentMacro()))
        return output.Fail(ExitStatus::UsageError, *problem);
    edit.editor.TypeMacroName(name);
    return ExitStatus::Done;
}

ExitStatus SetLoopCount(Edit edit) {
    edit.editor.SetLoopCountText(Utf16From(std::to_string(edit.request.loops)));
    return ExitStatus::Done;
}

ExitStatus ReplaceActions(const Output& output, Edit edit) {
    const std::string& path = edit.request.argument;
    const std::string source = path == "-" ? "standard input" : path;
    std::string problem;
    const std::optional<std::string> text =
        path == "-" ? ReadActionInput(edit.input, problem) : ReadActionFile(path, problem);
    if (!text)
        return output.Fail(ExitStatus::BadFile, problem);
    auto parsed = ParseActionText(*text);
    if (auto* error = std::get_if<ActionTextError>(&parsed))
        return output.Fail(ExitStatus::BadFile,
                           source + ":" + std::to_string(error->line) + ": " + error->message);
    edit.editor.ClearActions();
    for (const MacroAction& action : std::get<std::vector<MacroAction>>(parsed)) {
        edit.editor.AddRecordedAction(action.delayMs, action.key,
                                      static_cast<uint16_t>(action.direction), false);
        // Typed into the delay cell: rounded down to the keyboard's 10 ms steps.
        edit.editor.SetRowDelayText(edit.editor.Rows().size() - 1,
                                    Utf16From(std::to_string(action.delayMs)));
    }
    return ExitStatus::Done;
}

ExitStatus EditMacros(const Output& output, Edit edit) {
    switch (edit.request.verb) {
    case MacroVerb::Add:
        return AddMacro(output, edit);
    case MacroVerb::Remove:
        return RemoveMacro(output, edit);
    case MacroVerb::Rename:
        return RenameMacro(output, edit);
    case MacroVerb::Loop:
        return SetLoopCount(edit);
    case MacroVerb::Actions:
        return ReplaceActions(output, edit);
    default:
        return ExitStatus::UsageError;
    }
}

ExitStatus ShowMacros(const Output& output, const MacroRequest& request,
                      std::span<const MacroRecord> macros) {
    if (request.verb == MacroVerb::List) {
        JsonValue list = JsonValue::MakeArray();
        std::string text;
        for (const MacroRecord& macro : macros) {
            list.Append(MacroSummaryJson(macro));
            text += std::to_string(macro.id) + "\t" + Utf8From(StoredMacroName(macro)) +
                    "\tloop count " + std::to_string(macro.loopCount) + "\t" +
                    std::to_string(StoredMacroActions(macro).size()) + " actions\n";
        }
        output.Result(list, text.empty() ? "no macros\n" : text);
        return ExitStatus::Done;
    }
    auto found = FindMacro(macros, request.macro);
    if (auto* message = std::get_if<std::string>(&found))
        return output.Fail(ExitStatus::UsageError, *message);
    const MacroRecord& macro = macros[std::get<size_t>(found)];
    output.Result(MacroJson(macro), FormatActionText(macro));
    return ExitStatus::Done;
}

} // namespace

ExitStatus RunMacro(KeyboardSession& session, const Output& output, const MacroRequest& request,
                    std::istream& input) {
    if (const ExitStatus mirrored = RequireMirroredProfile(session, output);
        mirrored != ExitStatus::Done)
        return mirrored;
    LiveProfile& profile = session.Profile();
    bool otherProfilesChanged = false;
    {
        const LiveProfile::Lock lock = profile.LockProfile();
        if (request.verb == MacroVerb::List || request.verb == MacroVerb::Show)
            return ShowMacros(output, request, profile.Macros());

        MacroNameCounter names;
        // Replacing the actions is what the user asked for; deleting a macro that keys play
        // needs --force.
        CommandPrompts prompts(output.console, request.force || request.verb == MacroVerb::Actions);
        const KeyFunctionLayers& layers = profile.Record().layers;
        MacroEditor editor(profile.Macros(), names, prompts, [&](const MacroRecord& macro) {
            return CanDeleteMacro(macro, layers, prompts);
        });
        if (request.verb != MacroVerb::Add) {
            auto found = FindMacro(editor.Records(), request.macro);
            if (auto* message = std::get_if<std::string>(&found))
                return output.Fail(ExitStatus::UsageError, *message);
            editor.SelectMacro(std::get<size_t>(found));
        }
        if (const ExitStatus edited = EditMacros(output, {editor, request, input});
            edited != ExitStatus::Done)
            return edited;
        editor.StoreShownMacro();
        // The dialog's Apply: keys that played a deleted macro become Default in every layer.
        otherProfilesChanged = RepairMacroReferences(profile.Record().layers, editor.Records()) ||
                               request.verb == MacroVerb::Remove;
        profile.Macros() = MacroArrayForApply(editor.Records());
    }
    // The keyboard knows macros by their position: when a deletion moves them, or keys of other
    // profiles changed, every profile's key map is sent again, not only the active one's.
    if (const ExitStatus downloaded = SaveAndDownload(session, output, otherProfilesChanged);
        downloaded != ExitStatus::Done)
        return downloaded;
    const LiveProfile::Lock lock = profile.LockProfile();
    JsonValue list = JsonValue::MakeArray();
    for (const MacroRecord& macro : profile.Macros())
        list.Append(MacroSummaryJson(macro));
    output.Result(JsonValue::MakeObject().Set("macros", std::move(list)),
                  "done; " + std::to_string(profile.Macros().size()) +
                      " macros are in the keyboard\n");
    return ExitStatus::Done;
}

} // namespace tavrik::cli
