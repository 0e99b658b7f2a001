#include "profile/keyboard_reload.h"

#include "assign/key_map_conversion.h"
#include "macro/macro_image.h"
#include "profile/live_profile.h"
#include "profile/profile_file.h"

#include <map>
#include <optional>

namespace tavrik {
namespace {

constexpr size_t kComputerOnlyLayer = kLayerCount - 1;

using MacroIdMap = std::map<uint32_t, uint16_t>;

bool SameMacroBody(const MacroRecord& a, const MacroRecord& b) {
    return a.loopCount == b.loopCount && a.actions == b.actions;
}

// Previous macro id -> the id the same macro has among the keyboard's macros, for the macros the
// keyboard holds unchanged at the same place; those also get back a name the keyboard lacks.
MacroIdMap ConfirmMacros(std::span<const MacroRecord> previous, std::vector<MacroRecord>& read) {
    MacroIdMap ids;
    for (size_t i = 0; i < std::min(previous.size(), read.size()); ++i) {
        if (!SameMacroBody(previous[i], read[i]))
            continue;
        ids[previous[i].id] = read[i].id;
        if (ReadWithoutName(read[i], i))
            read[i].name = previous[i].name;
    }
    return ids;
}

// The previous entry as the reloaded profile keeps it: a macro key renumbered, or nothing when
// the keyboard no longer holds its macro.
std::optional<KeyFunctionEntry> KeptEntry(KeyFunctionEntry entry, const MacroIdMap& ids) {
    if (entry.type != KeyFunctionType::PlayMacro)
        return entry;
    const auto found = ids.find(entry.value);
    if (found == ids.end())
        return std::nullopt;
    entry.value = found->second;
    return entry;
}

void KeepFromPrevious(ProfileContents& contents, const ProfileContents& previous, size_t layer,
                      const std::bitset<kLayerSlots>& left, const MacroIdMap& ids) {
    for (size_t slot = 0; slot < kLayerSlots; ++slot) {
        if (!left[slot])
            continue;
        const std::optional<KeyFunctionEntry> kept =
            KeptEntry(previous.record.layers[layer][slot], ids);
        if (!kept)
            continue;
        contents.record.layers[layer][slot] = *kept;
        const size_t number = layer * kLayerSlots + slot;
        if (const std::optional<std::u16string_view> text = previous.texts.Text(number))
            contents.texts.Set(number, *text);
    }
}

} // namespace

std::unique_ptr<ProfileContents> ProfileFromKeyboard(const KeyboardContents& keyboard,
                                                     const KeyMapBlock& defaultLayout,
                                                     const ProfileContents* previous) {
    auto contents = std::make_unique<ProfileContents>();
    contents->macros = MacroImageToRecords(keyboard.macroImage);
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer)
        contents->record.layers[layer] = KeyMapBlockToLayer(keyboard.keyMaps[layer], defaultLayout);
    contents->record.layers[kComputerOnlyLayer] = {};
    if (previous == nullptr)
        return contents;
    const MacroIdMap ids = ConfirmMacros(previous->macros, contents->macros);
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer) {
        KeepFromPrevious(*contents, *previous, layer,
                         SlotsTheKeyMapLeaves(keyboard.keyMaps[layer], defaultLayout,
                                              previous->record.layers[layer], previous->macros),
                         ids);
    }
    KeepFromPrevious(*contents, *previous, kComputerOnlyLayer, std::bitset<kLayerSlots>().set(),
                     ids);
    return contents;
}

std::unique_ptr<ProfileContents> ReadProfileContents(const std::filesystem::path& path) {
    if (ValidateProfileFile(path, {}) != ProfileFileCheck::Acceptable)
        return nullptr;
    LiveProfile loaded;
    if (!LoadProfileFile(loaded, path))
        return nullptr;
    const LiveProfile::Lock lock = loaded.LockProfile();
    auto contents = std::make_unique<ProfileContents>();
    contents->record = loaded.Record();
    contents->macros = loaded.Macros();
    contents->texts = loaded.Texts();
    return contents;
}

} // namespace tavrik
