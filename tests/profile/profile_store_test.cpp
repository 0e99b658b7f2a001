#include "device/byte_order.h"
#include "macro/macro_texts.h"
#include "profile/profile_file.h"
#include "profile/profile_messages.h"
#include "profile/profile_store.h"
#include "profile/profile_transfer.h"
#include "profile_fakes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

constexpr ScanCode kScanA = 0x1E;
constexpr ScanCode kScanB = 0x30;
constexpr ScanCode kScanC = 0x2E;

MacroRecord Macro(std::u16string name, uint16_t id) {
    MacroRecord macro;
    macro.name = std::move(name);
    macro.id = id;
    macro.actions = {{30, kScanA, KeyDirection::Press}, {0, kScanA, KeyDirection::Release}};
    return macro;
}

KeyFunctionEntry SingleKey(ScanCode scan) {
    return {.type = KeyFunctionType::SingleKey, .value = scan};
}

class ProfileStoreTest : public ::testing::Test {
protected:
    // Remaps in each hardware profile, as a keyboard would hold them.
    KeyFunctionLayers KeyboardLayers() const {
        KeyFunctionLayers layers{};
        layers[0][KeyIndexFromScan(kScanA)] = SingleKey(kScanB);
        layers[1][KeyIndexFromScan(kScanB)] = {.type = KeyFunctionType::Disabled};
        layers[2][KeyIndexFromScan(kScanC)] = {.type = KeyFunctionType::PlayMacro, .value = 2};
        return layers;
    }

    test::TempFolder documents_;
    StoragePaths paths_ = StoragePathsIn(documents_.Path());
    LiveProfile profile_;
    test::FakeKeyboard keyboard_;
    test::RecordingWindow window_;
    ProfileStore store_{profile_, paths_, keyboard_, window_};
};

TEST_F(ProfileStoreTest, SavingToTheStoreBeforeItExistsWritesNothing) {
    ASSERT_TRUE(EnsureStorageFolder(paths_));
    EXPECT_FALSE(store_.SaveProfileToStore());
    EXPECT_FALSE(std::filesystem::exists(paths_.storeFile));

    ASSERT_TRUE(CreateDefaultProfileFile(paths_.storeFile));
    profile_.Record().Entry(4) = SingleKey(kScanB);
    EXPECT_TRUE(store_.SaveProfileToStore());
    LiveProfile reloaded;
    ASSERT_TRUE(LoadProfileFile(reloaded, paths_.storeFile));
    EXPECT_EQ(reloaded.Record().Entry(4), SingleKey(kScanB));
}

TEST_F(ProfileStoreTest, KeyboardReadIntoAProfileFile) {
    keyboard_.Hold(KeyboardLayers(), {Macro(u"one", 1), Macro(u"two", 2)});
    const auto path = documents_ / "keyboard.tvk";
    ASSERT_TRUE(store_.ReadKeyboardToProfileFile(path));
    EXPECT_EQ(ValidateProfileFile(path, {}), ProfileFileCheck::Acceptable);

    LiveProfile read;
    ASSERT_TRUE(LoadProfileFile(read, path));
    const KeyFunctionLayers& layers = read.Record().layers;
    for (size_t layer = 0; layer < 3; ++layer) {
        KeyFunctionLayer expected = EmptyLayerWithMacroKeyCodes();
        for (size_t slot = 0; slot < kFirstMacroKeySlot; ++slot)
            expected[slot] = KeyboardLayers()[layer][slot];
        EXPECT_EQ(layers[layer], expected) << layer;
    }
    EXPECT_EQ(layers[3], KeyFunctionLayer{});
    ASSERT_EQ(read.Macros().size(), 2u);
    EXPECT_EQ(read.Macros()[1].name, u"two");
    EXPECT_EQ(read.Texts().Total(), 0u);
    EXPECT_EQ(profile_.Record(), DefaultProfileRecord()); // the live profile is not touched
}

TEST_F(ProfileStoreTest, KeyboardThatCannotBeReadIntoAFile) {
    const auto path = documents_ / "keyboard.tvk";
    const struct {
        const char* what;
        void (*arrange)(test::FakeKeyboard&);
        bool read;
        uint16_t macroCount;
    } cases[] = {
        {"macro memory without 0x55AA",
         [](test::FakeKeyboard& k) { k.contents.macroImage.assign(16, 0x11); }, true, 0},
        {"active profile 3 (layer 3 exists)", [](test::FakeKeyboard& k) { k.active = 3; }, true, 0},
        {"active profile 4", [](test::FakeKeyboard& k) { k.active = 4; }, false, 0},
        {"no keyboard", [](test::FakeKeyboard& k) { k.attached = false; }, false, 0},
        {"a read fails", [](test::FakeKeyboard& k) { k.failReads = true; }, false, 0},
    };
    for (const auto& c : cases) {
        test::FakeKeyboard keyboard;
        c.arrange(keyboard);
        ProfileStore store(profile_, paths_, keyboard, window_);
        std::filesystem::remove(path);
        EXPECT_EQ(store.ReadKeyboardToProfileFile(path), c.read) << c.what;
        EXPECT_EQ(std::filesystem::exists(path), c.read) << c.what;
        if (c.read) {
            const std::vector<uint8_t> bytes = test::ReadBytes(path);
            EXPECT_EQ(ReadU16(bytes, header::kMacroCount), c.macroCount) << c.what;
        }
    }
}

TEST_F(ProfileStoreTest, ReloadMirrorsTheKeyboardIntoTheStoreAndTheLiveProfile) {
    keyboard_.Hold(KeyboardLayers(), {Macro(u"one", 1)});
    profile_.Texts().Set(10, u"old text");
    window_.modified = true;

    EXPECT_TRUE(store_.ReloadProfileFromKeyboard(true));
    EXPECT_TRUE(std::filesystem::exists(paths_.storeFile));
    EXPECT_EQ(profile_.Record().layers[0][KeyIndexFromScan(kScanA)], SingleKey(kScanB));
    EXPECT_EQ(profile_.Macros().size(), 1u);
    EXPECT_EQ(profile_.Texts().Total(), 0u);
    EXPECT_EQ(window_.refreshes, 1);
    EXPECT_TRUE(window_.modified);

    EXPECT_TRUE(store_.ReloadProfileFromKeyboard(false));
    EXPECT_FALSE(window_.modified);
}

// The keyboard holds three key maps and its macros; the G keys, the fourth layer and the texts of
// program and text keys exist only in the store file. A reload keeps them wherever the keyboard
// still holds what they would have sent, and never lets a G key play a different macro.
TEST_F(ProfileStoreTest, ReloadKeepsWhatOnlyTheComputerKnows) {
    constexpr size_t kG1 = kFirstMacroKeySlot;
    constexpr size_t kG2 = kFirstMacroKeySlot + 1;
    const size_t slotA = KeyIndexFromScan(kScanA);
    const size_t slotC = KeyIndexFromScan(kScanC);
    const std::vector<MacroRecord> macros = {Macro(u"three", 3), Macro(u"seven", 7)};
    MacroRecord changedSeven = Macro(u"seven", 7);
    changedSeven.loopCount = 5;
    const struct {
        const char* what;
        std::vector<MacroRecord> keyboardMacros;
        KeyFunctionEntry g1After;
    } cases[] = {
        {"the keyboard holds both macros unchanged: G1 plays the same macro, renumbered",
         macros,
         {.type = KeyFunctionType::PlayMacro, .value = 2}},
        {"the macro G1 played changed on the keyboard: G1 no longer plays it",
         {macros[0], changedSeven},
         EmptyLayerWithMacroKeyCodes()[kG1]},
    };
    for (const auto& c : cases) {
        LiveProfile stored;
        stored.Macros() = macros;
        KeyFunctionLayers& layers = stored.Record().layers;
        layers[0][kG1] = {
            .type = KeyFunctionType::PlayMacro, .code = layers[0][kG1].code, .value = 7};
        layers[0][kG2] = SingleKey(kScanB);
        layers[0][slotA] = {.type = KeyFunctionType::LaunchProgram};
        stored.Texts().Set(slotA, u"/usr/bin/true");
        layers[0][slotC] = {.type = KeyFunctionType::TextBlock};
        stored.Texts().Set(slotC, u"hello");
        layers[3][5] = SingleKey(kScanC);
        ASSERT_TRUE(EnsureStorageFolder(paths_));
        ASSERT_TRUE(SaveProfileFile(stored, paths_.storeFile));
        // Since then C was remapped on the keyboard by another program.
        KeyFunctionLayers keyboardLayers = layers;
        keyboardLayers[0][slotC] = SingleKey(kScanB);
        keyboard_.Hold(keyboardLayers, c.keyboardMacros);

        ASSERT_TRUE(store_.ReloadProfileFromKeyboard(false)) << c.what;
        const LiveProfile::Lock lock = profile_.LockProfile();
        const KeyFunctionLayer& reloaded = profile_.Record().layers[0];
        EXPECT_EQ(reloaded[kG1].type, c.g1After.type) << c.what;
        EXPECT_EQ(reloaded[kG1].value, c.g1After.value) << c.what;
        EXPECT_EQ(reloaded[kG2], SingleKey(kScanB)) << c.what;
        EXPECT_EQ(reloaded[slotA].type, KeyFunctionType::LaunchProgram) << c.what;
        EXPECT_EQ(profile_.Texts().Text(slotA), std::u16string_view(u"/usr/bin/true")) << c.what;
        EXPECT_EQ(reloaded[slotC], SingleKey(kScanB)) << c.what; // the keyboard's change wins
        EXPECT_FALSE(profile_.Texts().Text(slotC).has_value()) << c.what;
        EXPECT_EQ(profile_.Record().layers[3][5], SingleKey(kScanC)) << c.what;
        ASSERT_EQ(profile_.Macros().size(), 2u) << c.what;
        EXPECT_EQ(profile_.Macros()[1].id, 2) << c.what;
    }
}

TEST_F(ProfileStoreTest, ReloadWithoutAKeyboardInstallsADefaultProfile) {
    profile_.Record().Entry(3) = SingleKey(kScanB);
    profile_.Macros().push_back(Macro(u"x", 1));
    profile_.Texts().Set(3, u"t");
    keyboard_.attached = false;

    EXPECT_TRUE(store_.ReloadProfileFromKeyboard(false));
    EXPECT_EQ(profile_.Record(), DefaultProfileRecord());
    EXPECT_TRUE(profile_.Macros().empty());
    EXPECT_EQ(profile_.Texts().Total(), 0u);
    EXPECT_EQ(window_.refreshes, 1);
    EXPECT_TRUE(std::filesystem::is_directory(paths_.folder));
    EXPECT_FALSE(std::filesystem::exists(paths_.storeFile));
}

TEST_F(ProfileStoreTest, ApplyCopiesRecordAndMacrosIntoTheSnapshotAndDownloadsThem) {
    profile_.Record().layers[1][7] = SingleKey(kScanC);
    profile_.Macros().push_back(Macro(u"m", 1));
    for (bool all : {true, false}) {
        EXPECT_TRUE(store_.ApplyProfileToKeyboard(all));
        const auto& call = keyboard_.downloads.back();
        EXPECT_EQ(call.allProfiles, all);
        EXPECT_EQ(call.layers, profile_.Record().layers);
        EXPECT_EQ(call.macros, profile_.Macros());
        const LiveProfile::Lock lock = profile_.LockSnapshot();
        EXPECT_EQ(profile_.Snapshot().record, profile_.Record());
    }
}

// A download that did not complete (the keyboard went away during it) leaves the user's profile
// in the store file and says so; the next arrival must not mirror the half-written keyboard over
// it, and the next Apply sends all of it.
TEST_F(ProfileStoreTest, AnInterruptedDownloadIsFinishedNotOverwritten) {
    keyboard_.Hold(KeyboardLayers(), {});
    ASSERT_TRUE(store_.ReloadProfileFromKeyboard(false));
    {
        const LiveProfile::Lock lock = profile_.LockProfile();
        profile_.Record().layers[0][KeyIndexFromScan(kScanC)] = SingleKey(kScanA);
        profile_.Macros().push_back(Macro(u"kept", 1));
    }
    ASSERT_TRUE(store_.SaveProfileToStore());
    keyboard_.attached = false; // unplugged during the download
    EXPECT_FALSE(store_.ApplyProfileToKeyboard(false));
    EXPECT_TRUE(store_.DownloadPending());

    keyboard_.attached = true; // back, holding part of it at most
    keyboard_.cache = -1;
    EXPECT_TRUE(store_.ReloadProfileFromKeyboard(false));
    EXPECT_TRUE(window_.modified); // Apply stays enabled until it is written
    {
        const LiveProfile::Lock lock = profile_.LockProfile();
        EXPECT_EQ(profile_.Record().layers[0][KeyIndexFromScan(kScanC)], SingleKey(kScanA));
        ASSERT_EQ(profile_.Macros().size(), 1u);
        EXPECT_EQ(profile_.Macros()[0].name, u"kept");
    }
    EXPECT_TRUE(store_.ApplyProfileToKeyboard(false));
    EXPECT_TRUE(keyboard_.downloads.back().allProfiles); // everything, not only the active one
    EXPECT_FALSE(store_.DownloadPending());
    ASSERT_TRUE(store_.ApplyProfileToKeyboard(false));
    EXPECT_FALSE(keyboard_.downloads.back().allProfiles); // finished: back to the active one
}

// The outcome reported is the last key map write's, but a frame before it failed (part of the
// macro image, say), so the keyboard holds part of the profile: the download stays pending until
// one completes, or the next arrival would mirror the half-written keyboard over the user's work.
TEST_F(ProfileStoreTest, ADownloadWithAFailedFrameStaysPendingThoughItsOutcomeIsASuccess) {
    keyboard_.Hold(KeyboardLayers(), {});
    ASSERT_TRUE(store_.ReloadProfileFromKeyboard(false));
    ASSERT_TRUE(store_.SaveProfileToStore());
    keyboard_.earlierFrameFails = true;
    EXPECT_TRUE(store_.ApplyProfileToKeyboard(false));
    EXPECT_TRUE(store_.DownloadPending());

    keyboard_.earlierFrameFails = false;
    EXPECT_TRUE(store_.ApplyProfileToKeyboard(false));
    EXPECT_TRUE(keyboard_.downloads.back().allProfiles);
    EXPECT_FALSE(store_.DownloadPending());
}

// Macros the keyboard's macro memory cannot hold are refused before anything is touched: the store
// file keeps its bytes, no download is marked pending (it could never be finished) and no frame
// goes out.
TEST_F(ProfileStoreTest, MacrosTheKeyboardCannotHoldAreRefusedBeforeAnythingIsWritten) {
    keyboard_.Hold(KeyboardLayers(), {Macro(u"one", 1)});
    ASSERT_TRUE(store_.ReloadProfileFromKeyboard(false));
    const std::vector<uint8_t> storeBefore = test::ReadBytes(paths_.storeFile);
    const ProfileRecord liveBefore = profile_.Record();
    LiveProfile large;
    for (uint16_t id = 1; id <= 3; ++id)
        large.Macros().push_back(Macro(u"large", id));
    const auto file = documents_ / "large.tvk";
    ASSERT_TRUE(SaveProfileFile(large, file));
    const std::u16string tooSmall(macro_text::kMacroMemoryTooSmall);
    const std::u16string importFailed(profile_text::kImportFailed);

    const struct {
        const char* what;
        std::optional<size_t> capacity;
        std::vector<std::u16string> messages;
    } cases[] = {
        {"too small", MacroImageSizes(large.Macros()).withoutNames - 1, {tooSmall, importFailed}},
        {"size not known", std::nullopt, {importFailed}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        keyboard_.capacity = c.capacity;
        window_.messages.clear();
        EXPECT_EQ(ImportProfile(store_, file), ImportOutcome::Refused);
        EXPECT_EQ(window_.messages, c.messages);
        EXPECT_EQ(test::ReadBytes(paths_.storeFile), storeBefore);
        EXPECT_FALSE(store_.DownloadPending());
        EXPECT_TRUE(keyboard_.downloads.empty());
        EXPECT_EQ(profile_.Record(), liveBefore);
    }

    // The same macros edited into the live profile: its Apply is refused alike.
    keyboard_.capacity = MacroImageSizes(large.Macros()).withoutNames - 1;
    profile_.Macros() = large.Macros();
    EXPECT_FALSE(store_.ApplyProfileToKeyboard(true));
    EXPECT_FALSE(store_.DownloadPending());
    EXPECT_TRUE(keyboard_.downloads.empty());

    keyboard_.capacity = MacroImageSizes(large.Macros()).withoutNames; // names left out: fits
    EXPECT_EQ(ImportProfile(store_, file), ImportOutcome::Downloaded);
    EXPECT_EQ(keyboard_.downloads.size(), 1u);
}

TEST_F(ProfileStoreTest, MenuCaptionFollowsTheActiveProfile) {
    keyboard_.attached = false;
    store_.BuildProfileMenu();
    EXPECT_EQ(window_.caption, u"<默认情景模式>");
    EXPECT_EQ(window_.tooltip, u"当前情景模式: <默认情景模式>");

    keyboard_.attached = true;
    store_.BuildProfileMenu();
    EXPECT_EQ(window_.caption, u"$Profile0");
}

} // namespace
} // namespace tavrik
