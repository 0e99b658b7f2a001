#pragma once
// The lighting operations: every change the user makes goes to the keyboard at once as a short
// command sequence between "begin configuration" and "end configuration", and into the
// LightingState. Write results are handed back for callers that report them. A caller that goes
// on showing the copy makes its changes through Change, which puts the copy back in step with the
// keyboard after a failure. Every command of a sequence is sent whatever the previous one gave,
// so a bracket opened is always closed.
//
// Used from one thread at a time (the window's thread in the GUI).

#include "device/device_commands.h"
#include "device/lighting_readout.h"
#include "lighting/effect_list.h"
#include "lighting/lighting_state.h"

#include <functional>

namespace tavrik {

using LightingPreferencesSource = std::function<LightingPreferences()>;

class LightingModel {
public:
    // `preferences` reads the report-rate button and the edit mode from the settings file; it
    // may be empty where there is no settings file (the preferences then stay as they are).
    LightingModel(DeviceCommands& commands, LightingPreferencesSource preferences);

    const LightingState& State() const { return state_; }
    const EffectList& Effects() const { return state_.effects; }
    // The settings block of the last successful read.
    const DeviceSettings& Settings() const { return settings_; }

    // Effects 1..10: writes the number at byte 0, then rainbow flag B for effect 4 or A for 5.
    // Any other number sends nothing and gives BadBlockIndex.
    DeviceResult SelectEffect(int effect);
    // Levels outside 0..25 are taken as the nearer end.
    DeviceResult SetBrightness(int level);
    // Writes 25 - position as the speed.
    DeviceResult SetSpeedFromSlider(int position);
    DeviceResult SetDirection(LightingDirection direction);
    // Sends nothing (and gives Done) when the choice is already the marked one.
    DeviceResult SetOption(LightingOption option, TwoWayChoice choice);

    void SetKeyLightTool(KeyLightTool tool) { state_.tool = tool; }
    // A key click in the per-key effect: lights the key (1, 1, 1) or darkens it (0, 0, 0) by
    // the tool. A position past 159 sends nothing and gives BadBlockIndex.
    DeviceResult PaintKey(KeyPosition position);
    // Every key 0xFF (lit) or 0 (dark), sent as the whole table.
    DeviceResult SetAllKeys(bool lit);
    // Every key's triple as given (a table read from the keyboard before), sent as the whole table.
    DeviceResult SetKeyColours(const KeyColourTable& colours);
    // Effect 9, brightness 20, speed 5, direction left, first choices, both rainbow flags on; all
    // keys lit when the keyboard has the per-key effect.
    DeviceResult ResetLighting();

    // One change of the user's made with the operations above, for a caller that goes on
    // showing the copy (the lighting panel). When `change` gives other than Done the keyboard did
    // not take all of it, and the copy may hold values the keyboard does not: it goes back to
    // what it held before the change (the key light tool excepted, which is not the keyboard's),
    // then is read again from the keyboard, the colour table too when the change touched it. So
    // it holds what the keyboard holds wherever the keyboard answers, and what it held before
    // elsewhere (an unplugged keyboard). `failed` runs in between with the change's result,
    // before anything is read. Gives the change's result.
    DeviceResult Change(const std::function<DeviceResult(LightingModel&)>& change,
                        const std::function<void(DeviceResult)>& failed = {});

    // Reads the settings block (the offered effects), then, in one bracket, the colour table
    // (withKeyTable and the keyboard has the per-key effect) and the effect parameters; the
    // preferences are taken last. A failing settings read ends it before any lighting command
    // and leaves the keyboard's part of the state as it was. A failed colour chunk or parameter
    // read leaves its part of the copy unchanged. Gives the settings read's failure, else the
    // parameter read's result.
    DeviceResult ReadLightingState(bool withKeyTable);

private:
    template <typename Body>
    DeviceResult Bracketed(Body&& body);
    DeviceResult WriteByte(uint16_t address, uint8_t value);
    DeviceResult WriteColourTable();
    DeviceResult WriteResetFrame();
    DeviceResult ResetLightingLocked();
    void TakeParameters(const LightingParamsBytes& params);

    DeviceCommands& commands_;
    LightingPreferencesSource preferences_;
    LightingState state_;
    DeviceSettings settings_{};
};

} // namespace tavrik
