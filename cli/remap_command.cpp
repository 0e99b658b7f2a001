// tavrikctl remap: gives one key a new function, exactly as the assignment dialog's OK does,
// then applies it as the main window's Apply does.
#include "assign/assignment_apply.h"
#include "assign/key_map_entry.h"
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/macro_reference.h"
#include "cli/slot_report.h"
#include "keys/text.h"
#include "names/function_words.h"
#include "names/key_names.h"

namespace tavrik::cli {

namespace {

// The key's slot in a layer, or why there is none.
std::variant<size_t, std::string> SlotOf(const KeyArgument& key, bool bankB,
                                         const KeyMapBlock& defaultLayout) {
    switch (key.kind) {
    case KeyArgument::Kind::Key:
        return static_cast<size_t>(KeyIndexFromScan(key.scan));
    case KeyArgument::Kind::MacroKey:
        return MacroKeySlot(key.gIndex, bankB);
    case KeyArgument::Kind::Position: {
        // The download reaches a position through the key the keyboard's default layout puts
        // there; a position without one cannot be given a function.
        const ScanCode scan = ScanFromKeyMapEntry(ReadKeyMapEntry(defaultLayout, key.position));
        if (KeyIndexFromScan(scan) == 0)
            return "key position " + std::to_string(key.position) +
                   " holds no key in the keyboard's default layout";
        return static_cast<size_t>(KeyIndexFromScan(scan));
    }
    }
    return std::string("unknown key");
}

// The dialog's state when OK is pressed, for the chosen function. The macro copies are the
// dialog's own; choosing a loop count is typing it into the loop-count edit.
std::variant<AssignmentChoice, MacroRefusal> ChoiceFor(const FunctionArgument& function,
                                                       std::vector<MacroRecord>& dialogMacros) {
    AssignmentChoice choice{.type = function.type};
    switch (function.type) {
    case KeyFunctionType::SingleKey:
        choice.capturedKey = function.key;
        break;
    case KeyFunctionType::PlayMacro: {
        auto found = FindMacro(dialogMacros, function.macro);
        if (auto* refusal = std::get_if<MacroRefusal>(&found))
            return std::move(*refusal);
        const size_t index = std::get<size_t>(found);
        if (function.loops)
            dialogMacros[index].loopCount = *function.loops;
        choice.currentMacro = index;
        choice.loopCount = dialogMacros[index].loopCount;
        break;
    }
    case KeyFunctionType::Multimedia:
        choice.multimediaRow = function.row;
        break;
    case KeyFunctionType::FunctionKey:
        choice.functionKeySlot = function.row;
        break;
    default:
        break;
    }
    return choice;
}

// The dialog's OK on the live profile: the new entry and its description, or why there is none.
struct Assigned {
    KeyFunctionEntry entry;
    KeyDescription description;
    std::string words; // what the key does now, in English
};

std::variant<Assigned, MacroRefusal> Assign(LiveProfile& profile, const FunctionArgument& function,
                                            AssignmentTarget target) {
    const LiveProfile::Lock lock = profile.LockProfile();
    std::vector<MacroRecord> dialogMacros = profile.Macros();
    auto choice = ChoiceFor(function, dialogMacros);
    if (auto* refusal = std::get_if<MacroRefusal>(&choice))
        return std::move(*refusal);
    TextTable& texts = profile.Texts();
    const KeyFunctionEntry entry = *ApplyAssignment(
        profile.Record().layers, profile.Macros(), dialogMacros, std::get<AssignmentChoice>(choice),
        target, [&texts](size_t number) { texts.Release(number); });
    return Assigned{entry, DescribeSlot(target.editedSlot, entry, profile.Macros()),
                    FunctionWords(entry, profile.Macros())};
}

} // namespace

ExitStatus RunRemap(KeyboardSession& session, const Output& output, const RemapRequest& request) {
    if (const ExitStatus mirrored = RequireMirroredProfile(session, output);
        mirrored != ExitStatus::Done)
        return mirrored;
    const int active = session.Facts().ActiveProfile();
    const int layer = request.profile.value_or(active);
    // A position without a key is the keyboard's layout, not a wrong command line.
    auto slot = SlotOf(request.key, request.bankB, session.Facts().DefaultLayout());
    if (auto* message = std::get_if<std::string>(&slot))
        return output.Fail(ExitStatus::DeviceError, *message);
    const AssignmentTarget target{static_cast<size_t>(layer), std::get<size_t>(slot)};
    auto assigned = Assign(session.Profile(), request.function, target);
    if (auto* refusal = std::get_if<MacroRefusal>(&assigned))
        return output.Fail(refusal->status, refusal->message);
    const auto& [entry, description, words] = std::get<Assigned>(assigned);

    // The keyboard holds the active profile's key map as the main window's Apply sends it; a
    // change to another profile is sent with the other two, which the live profile mirrors.
    const ExitStatus downloaded = SaveAndDownload(session, output, layer != active);
    if (downloaded != ExitStatus::Done)
        return downloaded;
    const bool macroKey = IsMacroKeySlot(target.editedSlot);
    output.Result(
        JsonValue::MakeObject()
            .Set("profile", layer)
            .Set("slot", target.editedSlot)
            .Set("key", SlotName(target.editedSlot))
            .Set("type", KeyFunctionTypeName(entry.type))
            .Set("value", entry.value)
            .Set("description", Utf8From(description.text))
            .Set("inKeyboard", !macroKey),
        "hardware profile " + std::to_string(layer) + ": " + SlotDisplayName(target.editedSlot) +
            (entry.type == KeyFunctionType::Default ? " reset to its default" : " now " + words) +
            "\n" +
            (macroKey ? "(the functions of G1..G9 are kept on the computer; the "
                        "keyboard's key map has no place for them)\n"
                      : ""));
    return ExitStatus::Done;
}

} // namespace tavrik::cli
