// tavrikctl lighting: shows and changes the keyboard's lighting through the lighting model, each
// change sent at once as the lighting panel sends it.
#include "cli/commands.h"
#include "cli/keyboard_session.h"
#include "cli/lighting_report.h"

namespace tavrik::cli {

namespace {

DeviceResult Change(LightingModel& lighting, const LightingRequest& request) {
    switch (request.verb) {
    case LightingVerb::Effect:
        return lighting.SelectEffect(request.value);
    case LightingVerb::Brightness:
        return lighting.SetBrightness(request.value);
    case LightingVerb::Speed:
        return lighting.SetSpeedFromSlider(request.value);
    case LightingVerb::Direction:
        return lighting.SetDirection(static_cast<LightingDirection>(request.value));
    case LightingVerb::Option:
        return lighting.SetOption(request.option, static_cast<TwoWayChoice>(request.value));
    case LightingVerb::Key:
        lighting.SetKeyLightTool(request.on ? KeyLightTool::Light : KeyLightTool::Darken);
        return lighting.PaintKey(static_cast<KeyPosition>(request.value));
    case LightingVerb::All:
        return lighting.SetAllKeys(request.on);
    case LightingVerb::Reset:
        return lighting.ResetLighting();
    case LightingVerb::Show:
        break;
    }
    return DeviceResult::Done;
}

} // namespace

ExitStatus RunLighting(KeyboardSession& session, const Output& output,
                       const LightingRequest& request) {
    if (const ExitStatus attached = RequireKeyboard(session, output); attached != ExitStatus::Done)
        return attached;
    if (const ExitStatus read = RequireLighting(session, output); read != ExitStatus::Done)
        return read;
    const SkinValueLookup names = MainSkinLookup();
    return session.WithLighting([&](LightingModel& lighting) {
        // The command line was right; the keyboard lacks the effect.
        if (request.verb == LightingVerb::Effect && !lighting.Effects().Offers(request.value))
            return output.Fail(ExitStatus::DeviceError,
                               "the keyboard does not offer effect " +
                                   std::to_string(request.value) + " (it offers " +
                                   EffectsText(lighting.Effects(), names) + ")");
        session.Watch().Reset();
        const ExitStatus changed =
            ReportResult(session, output, "changing the lighting", Change(lighting, request));
        if (changed != ExitStatus::Done)
            return changed;
        output.Result(LightingJson(lighting.State(), lighting.Effects(), names),
                      LightingText(lighting.State(), lighting.Effects(), names) + "\n");
        return ExitStatus::Done;
    });
}

} // namespace tavrik::cli
