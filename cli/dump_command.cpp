// tavrikctl dump: everything a profile file (or the keyboard) holds, readably.
#include "assign/key_function_tables.h"
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/macro_report.h"
#include "cli/profile_file_check.h"
#include "cli/slot_report.h"
#include "keys/text.h"
#include "names/action_text.h"
#include "names/function_words.h"
#include "names/key_names.h"
#include "profile/profile_file.h"

#include <array>
#include <cstdio>

namespace tavrik::cli {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*x", digits, value);
    return text;
}

JsonValue HeaderJson(const ProfileHeader& header) {
    return JsonValue::MakeObject()
        .Set("magic", header.magic)
        .Set("headerSize", header.headerSize)
        .Set("version", header.version)
        .Set("subVersion", header.subVersion)
        .Set("totalLength", header.totalLength)
        .Set("entryCount", header.entryCount)
        .Set("macroCount", header.macroCount)
        .Set("textBytes", header.textBytes)
        .Set("flag", header.flag)
        .Set("checksum", header.checksum);
}

std::string HeaderText(const ProfileHeader& header) {
    return "header: magic " + Hex(header.magic, 4) + ", version " + std::to_string(header.version) +
           "." + std::to_string(header.subVersion) + ", total length " +
           std::to_string(header.totalLength) + " bytes, " + std::to_string(header.entryCount) +
           " entries, " + Counted(header.macroCount, "macro") + ", " +
           std::to_string(header.textBytes) + " bytes of texts, flag " +
           std::to_string(header.flag) + ", checksum " + Hex(header.checksum, 2) + "\n";
}

struct DumpedKey {
    size_t layer;
    size_t slot;
    const KeyFunctionEntry& entry;
    std::optional<std::u16string_view> text;
};

JsonValue KeyJson(const DumpedKey& key, std::span<const MacroRecord> macros) {
    JsonValue json = JsonValue::MakeObject();
    json.Set("layer", key.layer)
        .Set("slot", key.slot)
        .Set("key", SlotName(key.slot))
        .Set("type", KeyFunctionTypeName(key.entry.type))
        .Set("code", key.entry.code)
        .Set("value", key.entry.value)
        .Set("description", Utf8From(DescribeSlot(key.slot, key.entry, macros).text));
    if (key.slot < kFirstMacroKeySlot)
        json.Set("scan", ScanFromKeyIndex(static_cast<KeyIndex>(key.slot)));
    if (key.text)
        json.Set("text", Utf8From(*key.text));
    return json;
}

std::string KeyText(const DumpedKey& key, std::span<const MacroRecord> macros) {
    return "  " + SlotDisplayName(key.slot) + " (slot " + std::to_string(key.slot) +
           "): " + FunctionWords(key.entry, macros, key.text) + "\n";
}

void Dump(const Output& output, const ProfileRecord& record, std::span<const MacroRecord> macros,
          const TextTable& texts) {
    JsonValue keys = JsonValue::MakeArray();
    std::string keyText;
    for (size_t layer = 0; layer < kLayerCount; ++layer) {
        std::string layerText;
        for (size_t slot = 0; slot < kLayerSlots; ++slot) {
            const KeyFunctionEntry& entry = record.layers[layer][slot];
            if (entry.type == KeyFunctionType::Default)
                continue;
            const DumpedKey key{layer, slot, entry, texts.Text(layer * kLayerSlots + slot)};
            keys.Append(KeyJson(key, macros));
            layerText += KeyText(key, macros);
        }
        if (!layerText.empty())
            keyText += "layer " + std::to_string(layer) +
                       (layer < kHardwareProfileCount
                            ? " (hardware profile " + std::to_string(layer) + "):\n"
                            : " (carried only):\n") +
                       layerText;
    }
    JsonValue macroList = JsonValue::MakeArray();
    std::string macroText;
    for (const MacroRecord& macro : macros) {
        macroList.Append(MacroJson(macro));
        macroText += FormatActionText(macro);
    }
    output.Result(JsonValue::MakeObject()
                      .Set("header", HeaderJson(record.header))
                      .Set("keys", std::move(keys))
                      .Set("macros", std::move(macroList)),
                  HeaderText(record.header) +
                      (keyText.empty() ? "every key has its default function\n" : keyText) +
                      (macroText.empty() ? "no macros\n" : macroText));
}

} // namespace

ExitStatus RunDumpFile(const Output& output, const FileRequest& request) {
    if (const std::string problem = ProfileFileProblem(request.path); !problem.empty())
        return output.Fail(ExitStatus::BadFile, problem);
    LiveProfile profile;
    if (!LoadProfileFile(profile, request.path))
        return output.Fail(ExitStatus::BadFile, "cannot read " + request.path);
    const LiveProfile::Lock lock = profile.LockProfile();
    Dump(output, profile.Record(), profile.Macros(), profile.Texts());
    return ExitStatus::Done;
}

ExitStatus RunDumpKeyboard(KeyboardSession& session, const Output& output) {
    if (const ExitStatus mirrored = RequireReadableProfile(session, output);
        mirrored != ExitStatus::Done)
        return mirrored;
    LiveProfile& profile = session.Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    Dump(output, profile.Record(), profile.Macros(), profile.Texts());
    return ExitStatus::Done;
}

} // namespace tavrik::cli
