#pragma once
// The control form of tavrik-emu (`tavrik-emu ctl SOCKET ...`), run by the server against the
// keyboard it emulates: plugging, key presses and what they typed, the keyboard's own events,
// faults, memory dumps and state files. Every command answers with a reply; a malformed command
// gets a reply that says what is wrong, never a change.

#include "emulator/emulated_hid_bridge.h"
#include "emulator/emulator_server.h"
#include "emulator/keyboard_memory.h"

#include <string>
#include <vector>

namespace tavrik::emu {

class ControlCommands {
public:
    explicit ControlCommands(EmulatedHidBridge& bridge)
        : bridge_(bridge) {}

    ControlOutcome Run(const std::vector<std::string>& args);

private:
    using Args = std::vector<std::string>;
    struct Command {
        const char* name;
        size_t minArgs;
        size_t maxArgs;
        ControlOutcome (ControlCommands::*run)(const Args& args);
    };
    static const Command kCommands[];

    ControlOutcome Plug(const Args& args);
    ControlOutcome Unplug(const Args& args);
    ControlOutcome Quit(const Args& args);
    ControlOutcome Press(const Args& args);
    ControlOutcome Release(const Args& args);
    ControlOutcome Tap(const Args& args);
    ControlOutcome Typed(const Args& args);
    ControlOutcome Frames(const Args& args);
    ControlOutcome Bank(const Args& args);
    ControlOutcome LightingChanged(const Args& args);
    ControlOutcome SetFault(const Args& args);
    ControlOutcome SetStoredByteFlip(Area area, const Args& args);
    ControlOutcome Dump(const Args& args);
    ControlOutcome Save(const Args& args);
    ControlOutcome Load(const Args& args);

    // Runs `action` on the firmware when the keyboard is attached (and so powered).
    template <typename Action>
    ControlOutcome OnAttachedKeyboard(Action action);
    ControlOutcome KeyAction(const Args& args, bool press, bool release);

    EmulatedHidBridge& bridge_;
};

} // namespace tavrik::emu
