#include "emulator/control_commands.h"

#include "emulator/keyboard_typist.h"
#include "emulator/state_file.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <span>

namespace tavrik::emu {

namespace {

constexpr long kMaxFaultFrames = 1'000'000;

ControlOutcome Done(std::string text = {}) {
    return {{true, std::move(text)}, false};
}
ControlOutcome Error(std::string text) {
    return {{false, std::move(text)}, false};
}

std::optional<long> ParseNumber(const std::string& text, long min, long max) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, code] = std::from_chars(text.data(), end, value);
    if (text.empty() || code != std::errc{} || rest != end || value < min || value > max)
        return std::nullopt;
    return value;
}

std::string HexDump(std::span<const uint8_t> bytes) {
    std::string out;
    char cell[24];
    for (size_t at = 0; at < bytes.size(); ++at) {
        if (at % 16 == 0) {
            std::snprintf(cell, sizeof cell, "%04zx:", at);
            out += cell;
        }
        std::snprintf(cell, sizeof cell, " %02x", bytes[at]);
        out += cell;
        if (at % 16 == 15 || at + 1 == bytes.size())
            out += '\n';
    }
    return out;
}

std::string TypedLines(const std::vector<HidEvent>& events) {
    std::string out;
    char line[64];
    for (const HidEvent& e : events) {
        std::snprintf(line, sizeof line, "%llu %04x %04x %s\n",
                      static_cast<unsigned long long>(e.timeMs), e.page, e.usage,
                      e.down ? "down" : "up");
        out += line;
    }
    return out;
}

std::optional<std::vector<uint8_t>> AreaDump(const KeyboardMemory& memory,
                                             const std::string& area) {
    const auto bytes = [](std::span<const uint8_t> b) {
        return std::vector<uint8_t>(b.begin(), b.end());
    };
    if (area == "settings")
        return bytes(memory.settings);
    if (area == "lighting")
        return bytes(memory.lighting);
    if (area == "keymap0" || area == "keymap1" || area == "keymap2")
        return bytes(memory.keyMaps[static_cast<size_t>(area.back() - '0')]);
    if (area == "default")
        return bytes(memory.defaultLayout);
    if (area == "macro")
        return bytes(memory.macroMemory);
    if (area == "colours")
        return bytes(std::span(memory.colours).first(kKeyColourTableSize));
    return std::nullopt;
}

// The faults that store a written byte inverted, by the area they change.
std::optional<Area> FlippedArea(const std::string& name) {
    static const std::pair<const char*, Area> kFlips[] = {{"flip-keymap", Area::KeyMaps},
                                                          {"flip-macro", Area::MacroMemory},
                                                          {"flip-colours", Area::Colours}};
    for (const auto& [text, area] : kFlips) {
        if (name == text)
            return area;
    }
    return std::nullopt;
}

std::optional<Fault> FaultNamed(const std::string& name) {
    static const std::pair<const char*, Fault> kFaults[] = {
        {"none", Fault::None},          {"silent", Fault::Silent},
        {"echo", Fault::WrongEcho},     {"refuse-fe", Fault::RefuseFE},
        {"refuse-ff", Fault::RefuseFF}, {"unplug-after", Fault::UnplugAfter},
    };
    for (const auto& [text, fault] : kFaults) {
        if (name == text)
            return fault;
    }
    return std::nullopt;
}

} // namespace

const ControlCommands::Command ControlCommands::kCommands[] = {
    {"plug", 0, 0, &ControlCommands::Plug},
    {"unplug", 0, 0, &ControlCommands::Unplug},
    {"quit", 0, 0, &ControlCommands::Quit},
    {"press", 1, 1, &ControlCommands::Press},
    {"release", 1, 1, &ControlCommands::Release},
    {"tap", 1, 1, &ControlCommands::Tap},
    {"typed", 0, 0, &ControlCommands::Typed},
    {"frames", 0, 0, &ControlCommands::Frames},
    {"bank", 0, 0, &ControlCommands::Bank},
    {"lighting-changed", 0, 0, &ControlCommands::LightingChanged},
    {"fault", 1, 2, &ControlCommands::SetFault},
    {"dump", 1, 1, &ControlCommands::Dump},
    {"save", 1, 1, &ControlCommands::Save},
    {"load", 1, 1, &ControlCommands::Load},
};

ControlOutcome ControlCommands::Run(const std::vector<std::string>& args) {
    if (args.empty())
        return Error("no command given");
    for (const Command& command : kCommands) {
        if (args[0] != command.name)
            continue;
        const Args rest(args.begin() + 1, args.end());
        if (rest.size() < command.minArgs || rest.size() > command.maxArgs)
            return Error(std::string("wrong number of arguments for ") + command.name);
        return (this->*command.run)(rest);
    }
    return Error("unknown command: " + args[0]);
}

ControlOutcome ControlCommands::Plug(const Args&) {
    bridge_.Plug();
    return Done();
}

ControlOutcome ControlCommands::Unplug(const Args&) {
    bridge_.Unplug();
    return Done();
}

ControlOutcome ControlCommands::Quit(const Args&) {
    ControlOutcome outcome = Done();
    outcome.quit = true;
    return outcome;
}

template <typename Action>
ControlOutcome ControlCommands::OnAttachedKeyboard(Action action) {
    if (!bridge_.Plugged())
        return Error("the keyboard is unplugged");
    bridge_.WithFirmware(action);
    return Done();
}

ControlOutcome ControlCommands::KeyAction(const Args& args, bool press, bool release) {
    const auto position = ParseNumber(args[0], 0, static_cast<long>(kKeyPositions) - 1);
    if (!position)
        return Error("a key position is a number from 0 to 159, not " + args[0]);
    const auto key = static_cast<uint8_t>(*position);
    // The keyboard's clock runs until any macro the key started has finished.
    return OnAttachedKeyboard([key, press, release](KeyboardFirmware& firmware) {
        if (press) {
            firmware.Press(key);
            firmware.RunUntilIdle();
        }
        if (release) {
            firmware.Release(key);
            firmware.RunUntilIdle();
        }
    });
}

ControlOutcome ControlCommands::Press(const Args& args) {
    return KeyAction(args, true, false);
}
ControlOutcome ControlCommands::Release(const Args& args) {
    return KeyAction(args, false, true);
}
ControlOutcome ControlCommands::Tap(const Args& args) {
    return KeyAction(args, true, true);
}

ControlOutcome ControlCommands::Typed(const Args&) {
    return Done(
        TypedLines(bridge_.WithFirmware([](KeyboardFirmware& f) { return f.TakeTyped(); })));
}

ControlOutcome ControlCommands::Frames(const Args&) {
    return Done(std::to_string(bridge_.FramesReceived()) + "\n");
}

ControlOutcome ControlCommands::Bank(const Args&) {
    return OnAttachedKeyboard([](KeyboardFirmware& firmware) { firmware.ToggleBank(); });
}

ControlOutcome ControlCommands::LightingChanged(const Args&) {
    return OnAttachedKeyboard([](KeyboardFirmware& firmware) { firmware.LightingHotKey(); });
}

ControlOutcome ControlCommands::SetFault(const Args& args) {
    if (const auto area = FlippedArea(args[0]))
        return SetStoredByteFlip(*area, args);
    const auto fault = FaultNamed(args[0]);
    if (!fault)
        return Error("unknown fault: " + args[0] +
                     " (none, silent, echo, refuse-fe, refuse-ff, unplug-after, flip-keymap, "
                     "flip-macro, flip-colours)");
    if (*fault == Fault::None) {
        if (args.size() != 1)
            return Error("fault none takes no frame count");
        bridge_.SetFault(Fault::None, 0);
        bridge_.WithFirmware([](KeyboardFirmware& f) { f.SetStoredByteFlip(std::nullopt); });
        return Done();
    }
    const auto frames = args.size() == 2 ? ParseNumber(args[1], 0, kMaxFaultFrames) : std::nullopt;
    if (!frames)
        return Error("fault " + args[0] + " needs a frame count from 0 to 1000000");
    bridge_.SetFault(*fault, static_cast<int>(*frames));
    return Done();
}

ControlOutcome ControlCommands::SetStoredByteFlip(Area area, const Args& args) {
    const auto address = args.size() == 2 ? ParseNumber(args[1], 0, 0xFFFF) : std::nullopt;
    if (!address)
        return Error("fault " + args[0] + " needs a device address from 0 to 65535");
    const StoredByteFlip flip{area, static_cast<uint16_t>(*address)};
    bridge_.WithFirmware([flip](KeyboardFirmware& f) { f.SetStoredByteFlip(flip); });
    return Done();
}

ControlOutcome ControlCommands::Dump(const Args& args) {
    const auto bytes = bridge_.WithFirmware(
        [&args](KeyboardFirmware& firmware) { return AreaDump(firmware.Memory(), args[0]); });
    if (!bytes)
        return Error("unknown area: " + args[0] +
                     " (settings, lighting, keymap0, keymap1, keymap2, default, macro, colours)");
    return Done(HexDump(*bytes));
}

ControlOutcome ControlCommands::Save(const Args& args) {
    const KeyboardMemory memory =
        bridge_.WithFirmware([](KeyboardFirmware& firmware) { return firmware.Memory(); });
    std::string error;
    if (!SaveStateFile(args[0], memory, &error))
        return Error(error);
    return Done();
}

ControlOutcome ControlCommands::Load(const Args& args) {
    std::string error;
    auto memory = LoadStateFile(args[0], &error);
    if (!memory)
        return Error(error);
    bridge_.WithFirmware(
        [&memory](KeyboardFirmware& firmware) { firmware.LoadMemory(std::move(*memory)); });
    return Done();
}

} // namespace tavrik::emu
