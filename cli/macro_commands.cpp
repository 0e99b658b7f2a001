// tavrikctl macro: list, show, add, rm, rename, loop and actions. Changes go through the macro
// editor of the assignment dialog, with its limits and rules, and are applied as its OK and the
// main window's Apply apply them.
#include "assign/assignment_apply.h"
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/macro_reference.h"
#include "cli/macro_report.h"
#include "keys/text.h"
#include "macro/macro_editor.h"
#include "names/action_text.h"

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

// A pause the keyboard cannot keep as it was typed: where it was, what was typed, what is kept.
struct RoundedPause {
    size_t line;
    uint32_t typed;
    uint32_t kept;
};

// At most this many rounded pauses are named one by one.
inline constexpr size_t kRoundedPausesNamed = 5;

// The keyboard keeps pauses in steps of 10 ms: every pause that was rounded down is said, never
// changed silently.
void ReportRoundedPauses(const Output& output, const std::string& source,
                         const std::vector<RoundedPause>& rounded) {
    for (size_t i = 0; i < std::min(rounded.size(), kRoundedPausesNamed); ++i)
        output.console.Error(source + ":" + std::to_string(rounded[i].line) + ": the pause of " +
                             std::to_string(rounded[i].typed) + " ms is kept as " +
                             std::to_string(rounded[i].kept) +
                             " ms (the keyboard keeps pauses in " + "steps of " +
                             std::to_string(kDelayStepMs) + " ms)");
    if (rounded.size() > kRoundedPausesNamed)
        output.console.Error(source + ": " + std::to_string(rounded.size() - kRoundedPausesNamed) +
                             " more pauses were rounded down to a multiple of " +
                             std::to_string(kDelayStepMs) + " ms");
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
    // The editor has said why (at most 100 macros).
    if (edit.editor.Records().size() == before)
        return ExitStatus::UsageError;
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
    std::vector<size_t> lines;
    auto parsed = ParseActionText(*text, &lines);
    if (auto* error = std::get_if<ActionTextError>(&parsed))
        return output.Fail(ExitStatus::BadFile,
                           source + ":" + std::to_string(error->line) + ": " + error->message);
    edit.editor.ClearActions();
    const auto& actions = std::get<std::vector<MacroAction>>(parsed);
    std::vector<RoundedPause> rounded;
    for (size_t i = 0; i < actions.size(); ++i) {
        edit.editor.AddRecordedAction(actions[i].delayMs, actions[i].key,
                                      static_cast<uint16_t>(actions[i].direction), false);
        // Typed into the delay cell: rounded down to the keyboard's 10 ms steps.
        const uint32_t kept = edit.editor.SetRowDelayText(
            edit.editor.Rows().size() - 1, Utf16From(std::to_string(actions[i].delayMs)));
        if (kept != actions[i].delayMs)
            rounded.push_back({lines[i], actions[i].delayMs, kept});
    }
    ReportRoundedPauses(output, source, rounded);
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

// What the change did: "macro Hello added; 1 macro on the keyboard". `named` is the macro's name
// before the change.
std::string ChangeText(const MacroRequest& request, const std::string& named, size_t actions,
                       size_t macros) {
    switch (request.verb) {
    case MacroVerb::Add:
        return "macro " + named + " added; " + Counted(macros, "macro") + " on the keyboard";
    case MacroVerb::Remove:
        return "macro " + named + " deleted; " + Counted(macros, "macro") + " on the keyboard";
    case MacroVerb::Rename:
        return "macro " + named + " renamed " + request.argument;
    case MacroVerb::Loop:
        return "macro " + named + ": loop count " + std::to_string(request.loops);
    case MacroVerb::Actions:
        return "macro " + named + ": " + Counted(actions, "action") + " from " +
               (request.argument == "-" ? "standard input" : request.argument);
    default:
        return {};
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
                    Counted(StoredMacroActions(macro).size(), "action") + "\n";
        }
        output.Result(list, text.empty() ? "no macros\n" : text);
        return ExitStatus::Done;
    }
    auto found = FindMacro(macros, request.macro);
    if (auto* refusal = std::get_if<MacroRefusal>(&found))
        return output.Fail(refusal->status, refusal->message);
    const MacroRecord& macro = macros[std::get<size_t>(found)];
    output.Result(MacroJson(macro), FormatActionText(macro));
    return ExitStatus::Done;
}

} // namespace

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

ExitStatus RunMacro(KeyboardSession& session, const Output& output, const MacroRequest& request,
                    std::istream& input) {
    const bool reads = request.verb == MacroVerb::List || request.verb == MacroVerb::Show;
    if (const ExitStatus mirrored = reads ? RequireReadableProfile(session, output)
                                          : RequireMirroredProfile(session, output);
        mirrored != ExitStatus::Done)
        return mirrored;
    LiveProfile& profile = session.Profile();
    bool otherProfilesChanged = false;
    std::string named = request.macro; // the macro's name before the change
    size_t actionCount = 0;
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
            if (auto* refusal = std::get_if<MacroRefusal>(&found))
                return output.Fail(refusal->status, refusal->message);
            editor.SelectMacro(std::get<size_t>(found));
            named = Utf8From(StoredMacroName(editor.Records()[std::get<size_t>(found)]));
        }
        if (const ExitStatus edited = EditMacros(output, {editor, request, input});
            edited != ExitStatus::Done)
            return edited;
        editor.StoreShownMacro();
        if (const std::optional<size_t> current = editor.CurrentMacro())
            actionCount = StoredMacroActions(editor.Records()[*current]).size();
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
                  ChangeText(request, named, actionCount, profile.Macros().size()) + "\n");
    return ExitStatus::Done;
}

} // namespace tavrik::cli
