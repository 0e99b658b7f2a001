#include "profile/decimal_text.h"
#include "profile/settings_file.h"
#include "support/odd_files.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

using test::ReadText;
using test::TempFolder;
using test::WriteText;

TEST(DecimalText, ReadsLikeTheSettingsParser) {
    const struct {
        std::u16string_view text;
        int expected;
    } cases[] = {
        {u"3", 3},
        {u"  12abc", 12},
        {u"abc", 0},
        {u"", 0},
        {u"-5", -5},
        {u"+7", 7},
        {u"0x10", 0},
        {u"1 2", 1},
        {u"99999999999", INT_MAX},
        {u"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecimalTextToInt(c.text), c.expected)
            << std::string(c.text.begin(), c.text.end());
    }
    EXPECT_EQ(IntToDecimalText(-42), u"-42");
}

TEST(SettingsFile, WithoutTheTavrikFolderReadsDefaultsWhateverWasChosen) {
    TempFolder documents;
    const SettingsFile settings(SettingsFilePath(documents.Path()));
    EXPECT_EQ(settings.Path(), documents / "Tavrik" / "zezi.ini");

    EXPECT_FALSE(settings.SetReportRateButton(3));
    EXPECT_FALSE(settings.SetLightingEditMode(true));
    EXPECT_EQ(settings.ReportRateButton(), 1);
    EXPECT_FALSE(settings.LightingEditMode());
    EXPECT_FALSE(std::filesystem::exists(documents / "Tavrik"));
}

// A settings file that is no regular file, or larger than any the program reads, gives the
// defaults at once and is left as it is.
TEST(SettingsFile, WhatIsNoSettingsFileReadsDefaultsAndIsLeftAlone) {
    TempFolder folder;
    for (const test::OddFile& odd : test::MakeOddFiles(folder.Path(), CIniFile::kMaxFileSize + 1)) {
        SCOPED_TRACE(odd.what);
        const auto type = std::filesystem::symlink_status(odd.path).type();
        const SettingsFile settings(odd.path);
        EXPECT_EQ(settings.ReportRateButton(), 1);
        EXPECT_FALSE(settings.SetReportRateButton(3));
        EXPECT_EQ(std::filesystem::symlink_status(odd.path).type(), type);
    }
}

TEST(SettingsFile, ReportRateButtonThreeIsWrittenAndReadBack) {
    TempFolder documents;
    std::filesystem::create_directory(documents / "Tavrik");
    const SettingsFile settings(SettingsFilePath(documents.Path()));

    EXPECT_TRUE(settings.SetReportRateButton(3));
    EXPECT_EQ(ReadText(settings.Path()), "[KEYCOLOR]\nKBDPI=3\n");
    EXPECT_EQ(settings.ReportRateButton(), 3);
}

TEST(SettingsFile, ValuesAsTheyWereEditedByHand) {
    const struct {
        std::string file;
        int reportRate;
        bool editMode;
    } cases[] = {
        {"", 1, false},
        {"[KEYCOLOR]\nKBDPI=4\nDengCheck=1\n", 4, true},
        {"[keycolor]\r\n  kbdpi = 2 \r\ndengcheck=01\r\n", 2, true},
        {"[KEYCOLOR]\nKBDPI=fast\nDengCheck=2\n", 0, false},
        {"[KEYCOLOR]\nKBDPI=\"3\"\nDengCheck=yes\n", 3, false},
        {"[Other]\nKBDPI=4\nDengCheck=1\n", 1, false},
    };
    TempFolder documents;
    std::filesystem::create_directory(documents / "Tavrik");
    const SettingsFile settings(SettingsFilePath(documents.Path()));
    for (const auto& c : cases) {
        WriteText(settings.Path(), c.file);
        EXPECT_EQ(settings.ReportRateButton(), c.reportRate) << c.file;
        EXPECT_EQ(settings.LightingEditMode(), c.editMode) << c.file;
    }
}

} // namespace
} // namespace tavrik
