#include "device/byte_order.h"
#include "profile/profile_file.h"
#include "profile_file_builder.h"
#include "support/odd_files.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace tavrik {
namespace {

using test::DefaultProfileBytes;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

struct Validation {
    ProfileFileCheck result;
    std::vector<std::u16string> messages;
};

Validation Validate(const std::filesystem::path& path) {
    Validation validation;
    validation.result = ValidateProfileFile(
        path, [&](std::u16string_view message) { validation.messages.emplace_back(message); });
    return validation;
}

TEST(ProfileFile, DefaultFileIsOneRecordAndPassesValidation) {
    TempFolder folder;
    const auto path = folder / "new.tvk";
    ASSERT_TRUE(CreateDefaultProfileFile(path));
    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 32'832u);
    EXPECT_EQ(bytes, DefaultProfileBytes());
    EXPECT_EQ(ReadU16(bytes, header::kMacroCount), 0);
    EXPECT_EQ(ReadU32(bytes, header::kTextBytes), 0u);
    EXPECT_EQ(ReadU32(bytes, header::kTotalLength), 32'832u);
    // Layer 0's macro-key slots carry their codes, the other layers are cleared.
    EXPECT_EQ(ReadU16(bytes, test::EntryOffset(256) + 2), 0x0301);
    EXPECT_EQ(ReadU16(bytes, test::EntryOffset(273) + 2), 0x1309);
    EXPECT_EQ(ReadU16(bytes, test::EntryOffset(512 + 256) + 2), 0);

    const Validation validation = Validate(path);
    EXPECT_EQ(validation.result, ProfileFileCheck::Acceptable);
    EXPECT_TRUE(validation.messages.empty());
}

TEST(ProfileFile, ValidationOfHeadersAndSizes) {
    using Edit = void (*)(std::vector<uint8_t>&);
    const struct {
        const char* what;
        Edit edit;
        ProfileFileCheck result;
        bool message;
    } cases[] = {
        {"32,831 bytes", [](auto& b) { b.pop_back(); }, ProfileFileCheck::Rejected, false},
        {"wrong checksum", [](auto& b) { b[header::kChecksum] ^= 1; }, ProfileFileCheck::Rejected,
         true},
        {"100 macros, file shorter than its total length",
         [](auto& b) { test::SetCounts(b, 100, 0); }, ProfileFileCheck::Acceptable, false},
        {"101 macros", [](auto& b) { test::SetCounts(b, 101, 0); }, ProfileFileCheck::Rejected,
         true},
        {"flag 1",
         [](auto& b) {
             b[header::kFlag] = 1;
             test::Restamp(b);
         },
         ProfileFileCheck::Acceptable, false},
        {"flag 2",
         [](auto& b) {
             b[header::kFlag] = 2;
             test::Restamp(b);
         },
         ProfileFileCheck::Rejected, true},
        {"total length one more",
         [](auto& b) {
             WriteU32(b, header::kTotalLength, 32'833);
             test::Restamp(b);
         },
         ProfileFileCheck::Rejected, true},
        {"total length one less than the formula",
         [](auto& b) {
             test::SetCounts(b, 0, 8);
             WriteU32(b, header::kTotalLength, 32'839);
             test::Restamp(b);
         },
         ProfileFileCheck::Rejected, true},
        {"version 2",
         [](auto& b) {
             WriteU16(b, header::kVersion, 2);
             test::Restamp(b);
         },
         ProfileFileCheck::Rejected, true},
        {"entry count 2047",
         [](auto& b) {
             WriteU16(b, header::kEntryCount, 2047);
             test::Restamp(b);
         },
         ProfileFileCheck::Rejected, true},
        {"not a profile", [](auto& b) { std::fill(b.begin(), b.end(), 0x20); },
         ProfileFileCheck::Rejected, true},
    };
    TempFolder folder;
    const auto path = folder / "case.tvk";
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = DefaultProfileBytes();
        c.edit(bytes);
        WriteBytes(path, bytes);
        const Validation validation = Validate(path);
        EXPECT_EQ(validation.result, c.result) << c.what;
        ASSERT_EQ(validation.messages.size(), c.message ? 1u : 0u) << c.what;
        if (c.message) {
            EXPECT_EQ(validation.messages[0],
                      u"文件格式错误，恢复为默认值: \n  " + path.u16string());
        }
    }
}

TEST(ProfileFile, FilesThatAreNoProfilesGetTheirResultsWithoutMessages) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "folder.tvk");
    WriteBytes(folder / "empty.tvk", {});
    // A sparse file of 4 GiB: its size is refused before anything is read.
    const auto huge = folder / "huge.tvk";
    WriteBytes(huge, DefaultProfileBytes());
    std::filesystem::resize_file(huge, uint64_t{1} << 32);

    const struct {
        const char* name;
        ProfileFileCheck result;
    } cases[] = {
        {"missing.tvk", ProfileFileCheck::Rejected},
        {"folder.tvk", ProfileFileCheck::CannotOpen},
        {"empty.tvk", ProfileFileCheck::Rejected},
        {"huge.tvk", ProfileFileCheck::Rejected},
    };
    for (const auto& c : cases) {
        const Validation validation = Validate(folder / c.name);
        EXPECT_EQ(validation.result, c.result) << c.name;
        EXPECT_TRUE(validation.messages.empty()) << c.name;
    }
}

TEST(ProfileFile, FilesThatCannotBeReadAreRefusedWithTheirReasonBeforeTheyAreRead) {
    TempFolder folder;
    for (const test::OddFile& odd : test::MakeOddFiles(folder.Path(), kLargestProfileFile + 1)) {
        SCOPED_TRACE(odd.what);
        std::string problem;
        const ProfileFileCheck check = ValidateProfileFile(
            odd.path, [](std::u16string_view) { FAIL() << "no format message"; }, &problem);
        EXPECT_EQ(check, std::string_view(odd.reason).starts_with("too large")
                             ? ProfileFileCheck::Rejected
                             : ProfileFileCheck::CannotOpen);
        EXPECT_THAT(problem, ::testing::HasSubstr(odd.reason));
        LiveProfile profile;
        EXPECT_FALSE(LoadProfileFile(profile, odd.path));
    }
}

// The largest file is a record, 100 macros and a text of 8 KiB in each of the 2048 entries.
TEST(ProfileFile, TheLargestProfileFileIsReadAndOneByteMoreIsNot) {
    EXPECT_EQ(kLargestProfileFile, 32'832u + 100u * 16'512u + 2048u * 8192u);
    TempFolder folder;
    WriteBytes(folder / "largest.tvk", DefaultProfileBytes());
    std::filesystem::resize_file(folder / "largest.tvk", kLargestProfileFile);
    WriteBytes(folder / "larger.tvk", DefaultProfileBytes());
    std::filesystem::resize_file(folder / "larger.tvk", kLargestProfileFile + 1);

    EXPECT_EQ(Validate(folder / "largest.tvk").result, ProfileFileCheck::Acceptable);
    LiveProfile profile;
    EXPECT_TRUE(LoadProfileFile(profile, folder / "largest.tvk"));
    std::string problem;
    EXPECT_EQ(ValidateProfileFile(folder / "larger.tvk", {}, &problem), ProfileFileCheck::Rejected);
    EXPECT_EQ(problem, (folder / "larger.tvk").string() +
                           ": too large for a profile file (18461249 bytes, at most 18461248)");
    EXPECT_FALSE(LoadProfileFile(profile, folder / "larger.tvk"));
}

// Linux file names are bytes; one that is no valid UTF-8 is saved and read under that very name.
TEST(ProfileFile, ANameThatIsNoUtf8IsSavedAndReadByteForByte) {
    TempFolder folder;
    const std::filesystem::path path = folder / "caf\xE9\xFF.tvk";
    LiveProfile saved;
    saved.Record().Entry(7) = {.type = KeyFunctionType::Disabled};
    ASSERT_TRUE(SaveProfileFile(saved, path));
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    EXPECT_EQ(std::filesystem::directory_iterator(folder.Path())->path(), path);
    EXPECT_EQ(Validate(path).result, ProfileFileCheck::Acceptable);
    LiveProfile loaded;
    ASSERT_TRUE(LoadProfileFile(loaded, path));
    EXPECT_EQ(loaded.Record().Entry(7).type, KeyFunctionType::Disabled);
}

TEST(ProfileFile, ReadOnlyFileValidatesAndLoads) {
    TempFolder folder;
    const auto path = folder / "backup.tvk";
    std::vector<uint8_t> bytes = DefaultProfileBytes();
    test::SetEntry(bytes, 7, 2, 0x1E);
    test::Restamp(bytes);
    WriteBytes(path, bytes);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);

    EXPECT_EQ(Validate(path).result, ProfileFileCheck::Acceptable);
    LiveProfile profile;
    ASSERT_TRUE(LoadProfileFile(profile, path));
    EXPECT_EQ(profile.Record().Entry(7).type, KeyFunctionType::SingleKey);
    EXPECT_EQ(profile.Record().Entry(7).value, 0x1Eu);
}

TEST(ProfileFile, TextAbcPacksIntoEightBytesAndLoadsBack) {
    TempFolder folder;
    const auto path = folder / "abc.tvk";
    LiveProfile saved;
    saved.Record().Entry(600).type = KeyFunctionType::TextBlock;
    saved.Record().Entry(600).value = 1234; // replaced by the packed offset
    saved.Texts().Set(600, u"abc");
    ASSERT_TRUE(SaveProfileFile(saved, path));

    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 32'840u);
    EXPECT_EQ(ReadU32(bytes, header::kTextBytes), 8u);
    EXPECT_EQ(ReadU32(bytes, header::kTotalLength), 32'840u);
    EXPECT_EQ(ReadU32(bytes, test::EntryOffset(600) + 4), 0u);
    const std::vector<uint8_t> block(bytes.begin() + 32'832, bytes.end());
    EXPECT_EQ(block, (std::vector<uint8_t>{'a', 0, 'b', 0, 'c', 0, 0, 0}));
    EXPECT_EQ(Validate(path).result, ProfileFileCheck::Acceptable);

    LiveProfile loaded;
    ASSERT_TRUE(LoadProfileFile(loaded, path));
    EXPECT_EQ(loaded.Texts().Text(600), u"abc");
    EXPECT_EQ(loaded.Texts().Total(), 8u);
    EXPECT_EQ(loaded.Record().layers, saved.Record().layers);
}

TEST(ProfileFile, StaleTextSlotIsNotSavedButEnlargesTheBlock) {
    TempFolder folder;
    const auto path = folder / "stale.tvk";
    LiveProfile saved;
    saved.Record().Entry(3).type = KeyFunctionType::LaunchProgram;
    saved.Texts().Set(3, u"/usr/bin/x"); // 22 bytes at offset 0
    saved.Texts().Set(5, u"gone");       // entry 5 is Default now: 10 bytes
    saved.Record().Entry(1500).type = KeyFunctionType::TextBlock;
    saved.Texts().Set(1500, u"hi"); // 6 bytes at offset 22
    ASSERT_TRUE(SaveProfileFile(saved, path));

    const std::vector<uint8_t> bytes = ReadBytes(path);
    EXPECT_EQ(ReadU32(bytes, header::kTextBytes), 38u);
    ASSERT_EQ(bytes.size(), 32'832u + 38u);
    EXPECT_EQ(ReadU32(bytes, test::EntryOffset(1500) + 4), 22u);
    // The last 10 bytes belong to no entry and stay zero.
    EXPECT_TRUE(std::all_of(bytes.end() - 10, bytes.end(), [](uint8_t b) { return b == 0; }));

    LiveProfile loaded;
    ASSERT_TRUE(LoadProfileFile(loaded, path));
    EXPECT_EQ(loaded.Texts().Text(3), u"/usr/bin/x");
    EXPECT_EQ(loaded.Texts().Text(1500), u"hi");
    EXPECT_FALSE(loaded.Texts().Text(5));
    EXPECT_EQ(loaded.Texts().Total(), 28u);
}

TEST(ProfileFile, DamagedContentsAreReadOnlyAsFarAsTheyGo) {
    const struct {
        const char* what;
        uint32_t textOffset;  // of the TextBlock entry 9
        std::u16string block; // the string block as stored
        uint32_t declaredTextBytes;
        std::u16string expected;
    } cases[] = {
        {"offset outside the block", 40, u"ab", 6, u""},
        {"no terminator", 0, u"abc", 6, u"abc"},
        {"odd offset", 3, u"xyz", 8, u"yz"},
        {"block shorter than declared", 2, u"pqrs", 400, u"qrs"},
    };
    TempFolder folder;
    const auto path = folder / "damaged.tvk";
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = DefaultProfileBytes();
        test::SetEntry(bytes, 9, 6, c.textOffset);
        test::SetCounts(bytes, 0, c.declaredTextBytes);
        test::AppendUtf16(bytes, c.block);
        WriteBytes(path, bytes);

        LiveProfile profile;
        ASSERT_TRUE(LoadProfileFile(profile, path)) << c.what;
        EXPECT_EQ(profile.Texts().Text(9), c.expected) << c.what;
        EXPECT_EQ(profile.Texts().Total(), (c.expected.size() + 1) * 2) << c.what;
    }
}

TEST(ProfileFile, MissingMacroRecordsAreNotMadeUp) {
    TempFolder folder;
    const auto path = folder / "short.tvk";
    std::vector<uint8_t> bytes = DefaultProfileBytes();
    test::SetCounts(bytes, 3, 0);
    std::vector<uint8_t> macro(16'512, 0);
    WriteU16(macro, 506, 1); // id
    macro[500] = 1;          // loop count
    bytes.insert(bytes.end(), macro.begin(), macro.end());
    bytes.insert(bytes.end(), macro.begin(), macro.begin() + 100); // a cut-off second record
    WriteBytes(path, bytes);

    EXPECT_EQ(Validate(path).result, ProfileFileCheck::Acceptable);
    LiveProfile profile;
    ASSERT_TRUE(LoadProfileFile(profile, path));
    ASSERT_EQ(profile.Macros().size(), 1u);
    EXPECT_EQ(profile.Macros()[0].id, 1);
}

TEST(ProfileFile, FailedLoadLeavesTheLiveProfileAsItWas) {
    TempFolder folder;
    std::vector<uint8_t> shortFile = DefaultProfileBytes();
    shortFile.resize(1000);
    WriteBytes(folder / "short.tvk", shortFile);
    std::filesystem::create_directory(folder / "folder.tvk");

    LiveProfile profile;
    profile.Record().Entry(40).type = KeyFunctionType::Disabled;
    profile.Texts().Set(41, u"kept");
    const ProfileRecord before = profile.Record();
    for (const char* name : {"missing.tvk", "short.tvk", "folder.tvk"}) {
        EXPECT_FALSE(LoadProfileFile(profile, folder / name)) << name;
        EXPECT_EQ(profile.Record(), before) << name;
        EXPECT_EQ(profile.Texts().Text(41), u"kept") << name;
    }
}

// Writes beyond a few kilobytes fail while this is alive (RLIMIT_FSIZE), as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(ProfileFile, FailedSaveKeepsTheGoodFile) {
    TempFolder folder;
    const auto path = folder / "good.tvk";
    ASSERT_TRUE(CreateDefaultProfileFile(path));
    const std::vector<uint8_t> good = ReadBytes(path);

    LiveProfile profile;
    profile.Macros().resize(2);
    {
        const FileSizeLimit limit(40'000);
        EXPECT_FALSE(SaveProfileFile(profile, path));
    }
    EXPECT_EQ(ReadBytes(path), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    EXPECT_FALSE(SaveProfileFile(profile, folder / "no such folder" / "x.tvk"));
    EXPECT_FALSE(std::filesystem::exists(folder / "no such folder"));
}

} // namespace
} // namespace tavrik
