#include "lighting/lighting_model.h"

#include "device/frame_exchange.h"
#include "device/lighting_readout.h"

#include <array>

namespace tavrik {

namespace {

// The first result that is not Done, or Done.
DeviceResult Then(DeviceResult earlier, DeviceResult later) {
    return earlier != DeviceResult::Done ? earlier : later;
}

// What the lighting reset writes from address 0: effect 9, brightness 20, speed 5, then
// direction left and every option at its first choice. Bytes 6 and 10 have no meaning to the
// keyboard in these effects and are never read back; they go out as 0 like every other
// unused byte, so the keyboard is left with a known value there.
constexpr std::array<uint8_t, 11> kResetFrame = {0x09, 0x14, 0x05, 0x00, 0x00, 0x00,
                                                 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr uint8_t kResetBrightness = kResetFrame[lighting_byte::kBrightness];
constexpr uint8_t kResetSpeed = kResetFrame[lighting_byte::kSpeed];
static_assert(kResetFrame[lighting_byte::kEffect] == kResetEffect);
static_assert(kResetFrame.size() == lighting_byte::kBreathing + 2);

} // namespace

LightingModel::LightingModel(DeviceCommands& commands, LightingPreferencesSource preferences)
    : commands_(commands)
    , preferences_(std::move(preferences)) {}

template <typename Body>
DeviceResult LightingModel::Bracketed(Body&& body) {
    // No other thread's frames between begin and end.
    return commands_.Exchange().RunBracketed([&] {
        const DeviceResult begin = commands_.BeginConfiguration();
        const DeviceResult work = body();
        return Then(Then(begin, work), commands_.EndConfiguration());
    });
}

DeviceResult LightingModel::WriteByte(uint16_t address, uint8_t value) {
    const std::array<uint8_t, 1> data{value};
    return commands_.WriteLighting(data, address);
}

DeviceResult LightingModel::SelectEffect(int effect) {
    if (!IsEffect(effect))
        return DeviceResult::BadBlockIndex;
    // Every effect, 10 included, is selected by its own number at byte 0; that is also what a
    // read gives back, so the panel shows the effect the user chose.
    state_.effect = static_cast<uint8_t>(effect);
    return Bracketed([&] {
        DeviceResult result = WriteByte(lighting_byte::kEffect, state_.effect);
        if (effect == kRainbowBreathingEffect)
            result = Then(result, WriteByte(lighting_byte::kRainbowB, state_.rainbowB));
        if (effect == kRainbowReactiveEffect)
            result = Then(result, WriteByte(lighting_byte::kRainbowA, state_.rainbowA));
        return result;
    });
}

DeviceResult LightingModel::SetBrightness(int level) {
    state_.brightness = ClampLevel(level);
    return Bracketed([&] { return WriteByte(lighting_byte::kBrightness, state_.brightness); });
}

DeviceResult LightingModel::SetSpeedFromSlider(int position) {
    state_.speed = SpeedFromSlider(position);
    return Bracketed([&] { return WriteByte(lighting_byte::kSpeed, state_.speed); });
}

DeviceResult LightingModel::SetDirection(LightingDirection direction) {
    state_.direction = static_cast<uint8_t>(direction);
    return Bracketed([&] { return WriteByte(lighting_byte::kDirection, state_.direction); });
}

DeviceResult LightingModel::SetOption(LightingOption option, TwoWayChoice choice) {
    const auto value = static_cast<uint8_t>(choice);
    if (state_.Option(option) == value)
        return DeviceResult::Done;
    state_.SetOptionValue(option, value);
    return Bracketed([&] { return WriteByte(static_cast<uint16_t>(option), value); });
}

DeviceResult LightingModel::PaintKey(KeyPosition position) {
    if (position >= kKeyPositionCount)
        return DeviceResult::BadBlockIndex;
    const uint8_t value = state_.tool == KeyLightTool::Light ? kKeyLitByTool : kKeyDark;
    state_.colours.SetKey(position, value);
    const std::array<uint8_t, kColourTripleSize> triple{value, value, value};
    return Bracketed([&] { return commands_.WriteKeyColours(position, triple); });
}

DeviceResult LightingModel::SetAllKeys(bool lit) {
    state_.colours.Fill(lit ? kKeyLitAll : kKeyDark);
    return Bracketed([&] { return WriteColourTable(); });
}

DeviceResult LightingModel::SetKeyColours(const KeyColourTable& colours) {
    state_.colours = colours;
    return Bracketed([&] { return WriteColourTable(); });
}

DeviceResult LightingModel::WriteColourTable() {
    DeviceResult result = DeviceResult::Done;
    for (int chunk = 0; chunk < kColourChunkCount; ++chunk) {
        const ColourChunkBytes bytes = state_.colours.Chunk(chunk);
        result = Then(result, commands_.WriteKeyColours(KeyColourTable::ChunkStart(chunk), bytes));
    }
    return result;
}

DeviceResult LightingModel::WriteResetFrame() {
    return Bracketed([&] { return commands_.WriteLighting(kResetFrame, lighting_byte::kEffect); });
}

DeviceResult LightingModel::ResetLighting() {
    return commands_.Exchange().RunBracketed([this] { return ResetLightingLocked(); });
}

DeviceResult LightingModel::ResetLightingLocked() {
    DeviceResult result = WriteResetFrame();
    // The keyboard now runs effect 9 whether or not it lists it; the copy follows the keyboard.
    state_.effect = kResetEffect;
    if (state_.effects.Offers(kResetEffect))
        result = Then(result, SelectEffect(kResetEffect));
    state_.brightness = kResetBrightness;
    state_.speed = kResetSpeed;
    state_.direction = static_cast<uint8_t>(LightingDirection::Left);
    state_.options.fill(static_cast<uint8_t>(TwoWayChoice::First));
    state_.rainbowA = 1;
    state_.rainbowB = 1;
    if (state_.effects.Offers(kPerKeyEffect))
        result = Then(result, SetAllKeys(true));
    return result;
}

DeviceResult LightingModel::Change(const std::function<DeviceResult(LightingModel&)>& change,
                                   const std::function<void(DeviceResult)>& failed) {
    const LightingState before = state_;
    const DeviceResult result = change(*this);
    if (result == DeviceResult::Done)
        return result;
    if (failed)
        failed(result);
    const bool coloursTouched = !(state_.colours == before.colours);
    const KeyLightTool tool = state_.tool;
    state_ = before;
    state_.tool = tool;
    ReadLightingState(coloursTouched);
    return result;
}

void LightingModel::TakeParameters(const LightingParamsBytes& params) {
    state_.effect = params[lighting_byte::kEffect];
    state_.brightness = params[lighting_byte::kBrightness];
    state_.speed = params[lighting_byte::kSpeed];
    state_.direction = params[lighting_byte::kDirection];
    for (LightingOption option : kLightingOptions)
        state_.SetOptionValue(option, params[static_cast<size_t>(option)]);
}

DeviceResult LightingModel::ReadLightingState(bool withKeyTable) {
    LightingReadout readout;
    // A settings read that fails leaves this copy in place, so taking it back keeps the
    // previous settings and effect list.
    readout.settings = settings_;
    const DeviceResult result = ReadLightingAreas(commands_, withKeyTable, readout);
    settings_ = readout.settings;
    state_.effects = EffectList(settings_);
    for (int chunk = 0; chunk < kColourChunkCount; ++chunk) {
        if (const auto& bytes = readout.colourChunks[static_cast<size_t>(chunk)])
            state_.colours.StoreChunk(chunk, *bytes);
    }
    if (readout.params)
        TakeParameters(*readout.params);
    if (preferences_)
        state_.preferences = preferences_();
    return result;
}

} // namespace tavrik
