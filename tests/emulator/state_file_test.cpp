#include "emulator/state_file.h"
#include "support/odd_files.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tavrik::emu {
namespace {

KeyboardMemory ChangedMemory() {
    KeyboardMemory memory = FreshMemory({.macroCapacityUnits = 2, .activeProfile = 1});
    memory.keyMaps[2][7] = 0x42;
    memory.lighting[1] = 3;
    memory.macroMemory.back() = 0x99;
    memory.colours[0] = 1;
    return memory;
}

TEST(StateFile, RoundTripsTheWholeMemory) {
    const KeyboardMemory memory = ChangedMemory();
    const auto bytes = EncodeState(memory);
    EXPECT_EQ(bytes.size(), 8 + 4 + 28 + 56 + 3 * 480 + 480 + 486 + 4 + 256 + 4u);
    std::string error;
    const auto decoded = DecodeState(bytes, &error);
    ASSERT_TRUE(decoded) << error;
    EXPECT_EQ(*decoded, memory);
}

TEST(StateFile, RefusesDamagedOrImpossibleStates) {
    const auto good = EncodeState(ChangedMemory());
    auto flipped = good;
    flipped[100] ^= 0x01;
    auto otherVersion = good;
    otherVersion[8] = 2;
    auto otherMagic = good;
    otherMagic[0] = 'X';
    auto trailing = good;
    trailing.push_back(0);
    KeyboardMemory profileThree = ChangedMemory();
    profileThree.settings[10] = 3;
    KeyboardMemory shortMacro = ChangedMemory();
    shortMacro.macroMemory.resize(100);
    KeyboardMemory padding = ChangedMemory();
    padding.colours[485] = 1;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", {}, "truncated"},
        {"cut in the key maps", {good.begin(), good.begin() + 600}, "checksum"},
        {"last byte missing", {good.begin(), good.end() - 1}, "checksum"},
        {"flipped bit", flipped, "checksum"},
        {"other version", otherVersion, "version 2"},
        {"other magic", otherMagic, "not an emulator state file"},
        {"trailing byte", trailing, "checksum"},
        {"active profile 3", EncodeState(profileThree), "active profile"},
        {"macro memory off the capacity", EncodeState(shortMacro), "capacity"},
        {"colour padding", EncodeState(padding), "padding"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(DecodeState(c.bytes, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

TEST(StateFile, SavesAtomicallyAndLoadsBack) {
    char folder[] = "/tmp/tavrik-emu-state-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/keyboard.state";
    std::string error;
    ASSERT_TRUE(SaveStateFile(path, FreshMemory({}), &error)) << error;
    ASSERT_TRUE(SaveStateFile(path, ChangedMemory(), &error)) << error;
    const auto loaded = LoadStateFile(path, &error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(*loaded, ChangedMemory());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1); // no temporary file left behind

    std::filesystem::resize_file(path, 1000);
    EXPECT_FALSE(LoadStateFile(path, &error));
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_FALSE(LoadStateFile(std::string(folder) + "/missing", &error));
    EXPECT_FALSE(
        SaveStateFile(std::string(folder) + "/no/such/folder/state", ChangedMemory(), &error));
    std::filesystem::remove_all(folder);
}

// A keyboard with the largest macro memory (255 units) gives the largest state file; a file one
// byte larger is refused before it is read, as is anything that is no regular file.
TEST(StateFile, LoadsOnlyRegularFilesUpToTheLargestState) {
    test::TempFolder folder;
    const KeyboardMemory largest = FreshMemory({.macroCapacityUnits = 255});
    const std::string path = (folder / "largest.state").string();
    std::string error;
    ASSERT_TRUE(SaveStateFile(path, largest, &error)) << error;
    const uintmax_t largestSize = std::filesystem::file_size(path);
    EXPECT_EQ(largestSize, 8 + 4 + 28 + 56 + 3 * 480 + 480 + 486 + 4 + 255 * 128 + 4u);
    const auto loaded = LoadStateFile(path, &error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(*loaded, largest);

    const std::string tooLarge = ": too large for an emulator state file (" +
                                 std::to_string(largestSize + 1) + " bytes, at most " +
                                 std::to_string(largestSize) + ")";
    for (const test::OddFile& odd : test::MakeOddFiles(folder.Path(), largestSize + 1)) {
        SCOPED_TRACE(odd.what);
        EXPECT_FALSE(LoadStateFile(odd.path, &error));
        EXPECT_THAT(error, ::testing::HasSubstr(odd.path.string()));
        EXPECT_THAT(error, ::testing::HasSubstr(odd.reason));
        if (std::string_view(odd.reason).starts_with("too large")) {
            EXPECT_EQ(error, odd.path.string() + tooLarge);
        }
    }
}

} // namespace
} // namespace tavrik::emu
