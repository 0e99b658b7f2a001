// tavrikctl info: what is attached and what it holds.
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/lighting_report.h"
#include "macro/macro_image.h"

namespace tavrik::cli {

namespace {

struct MacroUse {
    size_t macros = 0;
    MacroImageLengths bytes;
    int capacity = 0;
    bool NamesFit() const { return bytes.withNames <= static_cast<size_t>(capacity); }
    size_t Used() const { return NamesFit() ? bytes.withNames : bytes.withoutNames; }
};

MacroUse MacroUseOf(KeyboardSession& session) {
    const LiveProfile::Lock lock = session.Profile().LockProfile();
    const std::vector<MacroRecord>& macros = session.Profile().Macros();
    return {macros.size(), MacroImageSizes(macros), session.Facts().MacroCapacity()};
}

std::string ProfileText(int active) {
    return active >= 0 ? std::to_string(active) : "unknown";
}

} // namespace

ExitStatus RunInfo(KeyboardSession& session, const Output& output) {
    const int attached = session.KeyboardCount();
    if (attached == 0) {
        // Still a document for scripts that read JSON; the text says it once, as an error.
        if (output.json)
            output.console.Line(JsonValue::MakeObject().Set("attached", 0).Text());
        return RequireKeyboard(session, output);
    }
    const int active = session.Facts().ActiveProfile();
    // The macro use below is the live profile's: the store file's while a download is pending.
    const bool fromStoreFile = SayWhereTheConfigurationIsFrom(session, output);
    const MacroUse use = MacroUseOf(session);
    const SkinValueLookup names = MainSkinLookup();
    const DeviceResult lightingRead = session.LightingReadResult();

    JsonValue document = JsonValue::MakeObject();
    std::string text = "keyboards attached: " + std::to_string(attached) +
                       "\nactive hardware profile: " + ProfileText(active) +
                       "\nmacro memory: " + std::to_string(use.Used()) + " of " +
                       std::to_string(use.capacity) + " bytes used by " +
                       Counted(use.macros, "macro") +
                       (use.NamesFit() ? "" : " (without names: too little room)") + "\n";
    document.Set("attached", attached)
        .Set("activeProfile", active >= 0 ? JsonValue(active) : JsonValue())
        .Set("macroCapacity", use.capacity)
        .Set("downloadPending", fromStoreFile)
        .Set("macroUse", JsonValue::MakeObject()
                             .Set("macros", use.macros)
                             .Set("bytesWithNames", use.bytes.withNames)
                             .Set("bytesWithoutNames", use.bytes.withoutNames)
                             .Set("namesFit", use.NamesFit()));
    session.WithLighting([&](LightingModel& lighting) {
        document.Set("effects", EffectsJson(lighting.Effects(), names));
        text += "lighting effects offered: " + EffectsText(lighting.Effects(), names) + "\n";
        if (lightingRead == DeviceResult::Done) {
            document.Set("lighting", LightingJson(lighting.State(), lighting.Effects(), names));
            text += "lighting: " + LightingText(lighting.State(), lighting.Effects(), names) + "\n";
        } else {
            document.Set("lighting", JsonValue());
            text += std::string("lighting: unknown (") + DeviceResultName(lightingRead) + ")\n";
        }
    });
    output.Result(document, text);
    return ExitStatus::Done;
}

} // namespace tavrik::cli
