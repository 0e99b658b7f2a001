// A whole profile through the emulated keyboard: exported from one computer's live profile,
// imported onto a fresh keyboard, read back from that keyboard and compared. What the keyboard
// can hold comes back; texts stay on the computer.

#include "emulator/emulated_hid_bridge.h"
#include "events/device_link.h"
#include "profile/device_profile_keyboard.h"
#include "profile/profile_file.h"
#include "profile/profile_switcher.h"
#include "profile/profile_transfer.h"
#include "profile/text_packing.h"
#include "profile_fakes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

// The window as the presence monitor sees it; the tests reload the profile themselves.
class QuietWindowPort : public MainWindowPort {
public:
    void ReloadFromKeyboard() override {}
    void Hide() override {}
    bool IsReady() const override { return true; }
    void SetTrayState(int, int) override {}
    void RefreshGKeyMarks() override {}
    void SetBankLook(bool) override {}
    void RequestLightingReread() override {}
    void ShowMessage(std::u16string_view) override {}
};

// One emulated keyboard with the program's device link and profile operations on it.
class Computer {
public:
    Computer(const std::filesystem::path& documents, uint8_t activeProfile)
        : bridge_(Keyboard(activeProfile))
        , store_(profile_, StoragePathsIn(documents), keyboard_, window_) {
        link_.Start();
        bridge_.WaitDelivered();
        link_.Presence().WaitUntilHandled();
    }

    LiveProfile& Profile() { return profile_; }
    ProfileStore& Store() { return store_; }
    test::RecordingWindow& Window() { return window_; }

private:
    static emu::FirmwareConfig Keyboard(uint8_t activeProfile) {
        emu::FirmwareConfig config;
        config.macroCapacityUnits = 255; // room for 100 macros with their names
        config.activeProfile = activeProfile;
        return config;
    }

    EmulatedHidBridge bridge_;
    KeyboardFacts facts_;
    QuietWindowPort port_;
    DeviceLink link_{bridge_, facts_, port_};
    DeviceProfileKeyboard keyboard_{link_.Commands(), facts_};
    LiveProfile profile_;
    test::RecordingWindow window_;
    ProfileStore store_;
};

constexpr ScanCode kA = 0x1E, kB = 0x30, kC = 0x2E, kD = 0x20, kE = 0x12, kF = 0x21, kG = 0x22,
                   kH = 0x23, kShift = 0x2A;

struct Remap {
    size_t layer;
    ScanCode key;
    KeyFunctionEntry set;      // what the computer's profile holds
    KeyFunctionEntry readBack; // what the keyboard gives back
};

std::vector<Remap> Remaps() {
    using T = KeyFunctionType;
    return {
        {0, kA, {.type = T::SingleKey, .value = kB}, {.type = T::SingleKey, .value = kB}},
        {0, kB, {.type = T::SingleKey, .value = kShift}, {.type = T::SingleKey, .value = kShift}},
        {0, kC, {.type = T::Disabled}, {.type = T::Disabled}},
        {1, kD, {.type = T::PlayMacro, .code = 3, .value = 7}, {.type = T::PlayMacro, .value = 7}},
        {1, kE, {.type = T::StopMacro}, {.type = T::StopMacro}},
        {1, kF, {.type = T::Multimedia, .value = 1}, {.type = T::Multimedia, .value = 1}},
        {2, kG, {.type = T::FunctionKey, .value = 3}, {.type = T::FunctionKey, .value = 3}},
        {2, kH, {.type = T::PlayMacro, .value = 100}, {.type = T::PlayMacro, .value = 100}},
        // Texts stay on the computer: a program key keeps its default function, a text block
        // key sends nothing.
        {2, kA, {.type = T::LaunchProgram}, {}},
        {0, kD, {.type = T::TextBlock}, {.type = T::Disabled}},
    };
}

size_t EntryNumber(size_t layer, ScanCode key) {
    return layer * kLayerSlots + KeyIndexFromScan(key);
}

void FillProfile(LiveProfile& profile) {
    for (const Remap& remap : Remaps()) {
        profile.Record().Entry(EntryNumber(remap.layer, remap.key)) = remap.set;
        if (CarriesText(remap.set))
            profile.Texts().Set(EntryNumber(remap.layer, remap.key), u"text of a key");
    }
    profile.Record().Entry(EntryNumber(3, kA)) = {.type = KeyFunctionType::Disabled};
    profile.Record().layers[0][MacroKeySlot(0, false)] = {
        .type = KeyFunctionType::PlayMacro, .code = 1, .value = 1};
    for (uint16_t id = 1; id <= 100; ++id) {
        MacroRecord macro;
        macro.name = u"宏" + std::u16string(1, static_cast<char16_t>(u'0' + id % 10));
        macro.id = id;
        macro.loopCount = static_cast<uint8_t>(id);
        macro.actions = {{static_cast<uint32_t>(10 * id), kA, KeyDirection::Press},
                         {0, kA, KeyDirection::Release}};
        profile.Macros().push_back(macro);
    }
}

TEST(EmulatorRoundTrip, ExportImportAndReadBackKeepWhatTheKeyboardHolds) {
    test::TempFolder documents;
    const auto backup = documents / "backup.tvk";
    {
        Computer first(documents.Path(), 0);
        FillProfile(first.Profile());
        ASSERT_TRUE(ExportProfile(first.Store(), backup));
    }

    test::TempFolder otherDocuments;
    Computer second(otherDocuments.Path(), 1);
    ASSERT_EQ(ImportProfile(second.Store(), backup), ImportOutcome::Downloaded);
    EXPECT_TRUE(second.Window().messages.empty());
    LiveProfile original;
    FillProfile(original);
    EXPECT_EQ(second.Profile().Texts(), original.Texts());

    const auto readBackPath = otherDocuments / "read back.tvk";
    ASSERT_TRUE(second.Store().ReadKeyboardToProfileFile(readBackPath));
    LiveProfile readBack;
    ASSERT_TRUE(LoadProfileFile(readBack, readBackPath));

    KeyFunctionLayers expected{};
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer)
        expected[layer] = EmptyLayerWithMacroKeyCodes();
    for (const Remap& remap : Remaps())
        expected[remap.layer][KeyIndexFromScan(remap.key)] = remap.readBack;
    EXPECT_EQ(readBack.Record().layers, expected);
    EXPECT_EQ(readBack.Texts().Total(), 0u);

    ASSERT_EQ(readBack.Macros().size(), 100u);
    for (size_t i = 0; i < 100; ++i) {
        const MacroRecord& got = readBack.Macros()[i];
        const MacroRecord& sent = original.Macros()[i];
        EXPECT_EQ(got.name, sent.name) << i;
        EXPECT_EQ(got.id, sent.id) << i;
        EXPECT_EQ(got.loopCount, sent.loopCount) << i;
        EXPECT_EQ(got.actions, sent.actions) << i;
    }
}

TEST(EmulatorRoundTrip, ReloadMirrorsTheKeyboardAndSwitchingSelectsItsProfile) {
    test::TempFolder documents;
    Computer computer(documents.Path(), 2);
    EXPECT_FALSE(computer.Store().SaveProfileToStore());
    EXPECT_TRUE(computer.Store().ReloadProfileFromKeyboard(false));
    EXPECT_EQ(computer.Profile().Record().layers[3], KeyFunctionLayer{});
    EXPECT_TRUE(computer.Profile().Macros().empty()); // a fresh keyboard holds no image

    computer.Profile().Record().Entry(EntryNumber(2, kA)) = {.type = KeyFunctionType::Disabled};
    EXPECT_TRUE(computer.Store().SaveProfileToStore());
    EXPECT_TRUE(computer.Store().ApplyProfileToKeyboard(false));
    EXPECT_TRUE(computer.Store().ReloadProfileFromKeyboard(false));
    EXPECT_EQ(computer.Profile().Record().Entry(EntryNumber(2, kA)).type,
              KeyFunctionType::Disabled);

    ProfileManagerModel manager;
    ProfileSwitcher switcher(computer.Store(), manager);
    EXPECT_TRUE(switcher.SwitchProfile(4));
    EXPECT_EQ(computer.Store().Keyboard().GetActiveProfileIndex(), 0);
    computer.Store().BuildProfileMenu();
    EXPECT_EQ(computer.Window().caption, u"$Profile0");
}

} // namespace
} // namespace tavrik
