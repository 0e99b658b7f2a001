// Look-ups and writes in skin files as users may have edited them.

#include "skin/ini_file.h"
#include "skin/skin_rect.h"
#include "skin/skin_texts.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <optional>

namespace tavrik {
namespace {

using testing::ReadFile;
using testing::TempFolder;

constexpr std::string_view kSkin = "; comment line\r\n"
                                   "[SCREEN]\r\n"
                                   "Main = main_normal.jpg \r\n"
                                   "Link=\"https://example.invalid/help\"\r\n"
                                   "\r\n"
                                   "[buttoninfo]\r\n"
                                   "CONTROL_OK=10,20,80,24\r\n"
                                   "control_ok=99,99,99,99\r\n"
                                   "EMPTY=\r\n"
                                   "no equals sign here\r\n"
                                   "[ButtonInfo]\r\n"
                                   "LATER=1,2,3,4\r\n";

struct LookUp {
    std::u16string_view section;
    std::u16string_view key;
    std::u16string_view defaultValue;
    std::optional<std::u16string> expected;
};

TEST(SkinIni, LooksUpValuesWithoutRegardToCase) {
    TempFolder folder;
    const CIniFile ini(folder.Write("Main.ini", kSkin));
    const LookUp cases[] = {
        {u"SCREEN", u"Main", u"", u"main_normal.jpg"},              // trimmed
        {u"screen", u"MAIN", u"", u"main_normal.jpg"},              // either side folds
        {u"SCREEN", u"Link", u"", u"https://example.invalid/help"}, // quotes dropped
        {u"BUTTONINFO", u"CONTROL_OK", u"", u"10,20,80,24"},        // the first of two keys
        {u"BUTTONINFO", u"LATER", u"x", u"x"},                      // only the first section counts
        {u"BUTTONINFO", u"EMPTY", u"d", std::nullopt},              // present but empty
        {u"BUTTONINFO", u"MISSING", u"1,1,1,1,x", u"1,1,1,1,x"},
        {u"NOSECTION", u"Main", u"", std::nullopt},
    };
    for (const LookUp& c : cases) {
        EXPECT_EQ(ini.GetString(c.section, c.key, c.defaultValue), c.expected)
            << std::string(c.key.begin(), c.key.end());
    }
}

TEST(SkinIni, ReadsUtf16AndUtf8WithMark) {
    TempFolder folder;
    // "[Mode]\n1=呼吸\n" as UTF-16LE with its byte-order mark.
    const std::string utf16("\xFF\xFE[\0M\0o\0d\0e\0]\0\n\0"
                            "1\0=\0\x7C\x54\x38\x54\n\0",
                            26);
    const CIniFile wide(folder.Write("wide.ini", utf16));
    EXPECT_EQ(SkinModeName(wide, 1), u"呼吸");
    const CIniFile marked(folder.Write("marked.ini", "\xEF\xBB\xBF[Mode]\n2=彩虹\n"));
    EXPECT_EQ(SkinModeName(marked, 2), u"彩虹");
}

TEST(SkinIni, ModeWithoutNameIsListedAsOne) {
    TempFolder folder;
    const CIniFile ini(folder.Write("Main.ini", "[Mode]\n1=波浪\n"));
    EXPECT_EQ(SkinModeName(ini, 1), u"波浪");
    EXPECT_EQ(SkinModeName(ini, 7), u"1");
    EXPECT_EQ(SkinModeName(CIniFile(folder / "missing.ini"), 1), u"1");
}

TEST(SkinIni, CutsLongValuesAndRefusesHugeFiles) {
    TempFolder folder;
    const CIniFile ini(folder.Write("long.ini", "[A]\nK=" + std::string(5000, 'v') + "\n"));
    EXPECT_EQ(ini.GetString(u"A", u"K")->size(), CIniFile::kMaxValueLength);
    EXPECT_EQ(ini.GetString(u"A", u"K", u"", 259)->size(), 259u);

    std::string huge = "[A]\nK=found\n";
    huge.resize(CIniFile::kMaxFileSize + 1, ';');
    const CIniFile big(folder.Write("huge.ini", huge));
    EXPECT_EQ(big.GetString(u"A", u"K", u"default"), u"default");
}

TEST(SkinIni, WritesThroughKeepingTheRestOfTheFile) {
    TempFolder folder;
    const auto file =
        folder.Write("Main.ini", "; keep me\r\n[SCREEN]\r\nMain=a.jpg\r\n[Other]\r\nX=1\r\n");
    const CIniFile ini(file);
    ASSERT_TRUE(ini.WriteString(u"screen", u"MAIN", u"b.jpg"));     // replaced in place
    ASSERT_TRUE(ini.WriteString(u"SCREEN", u"Mask", u"m.bmp"));     // added to its section
    ASSERT_TRUE(ini.WriteString(u"KEYCOLOR", u"User", u"255,0,0")); // new section at the end
    EXPECT_EQ(ReadFile(file),
              "; keep me\r\n[SCREEN]\r\nMAIN=b.jpg\r\nMask=m.bmp\r\n[Other]\r\nX=1\r\n"
              "[KEYCOLOR]\r\nUser=255,0,0\r\n");
    EXPECT_FALSE(ini.WriteString(u"SCREEN", u"Main", u"a\n[Injected]"));
    EXPECT_EQ(ini.GetString(u"SCREEN", u"Main"), u"b.jpg");
}

TEST(SkinIni, WriteKeepsUtf16Encoding) {
    TempFolder folder;
    const auto file = folder.Write("wide.ini", std::string("\xFF\xFE[\0A\0]\0\n\0", 10));
    const CIniFile ini(file);
    ASSERT_TRUE(ini.WriteString(u"A", u"K", u"值"));
    EXPECT_EQ(ReadFile(file), std::string("\xFF\xFE[\0A\0]\0\n\0K\0=\0\x3C\x50\n\0", 18));
    EXPECT_EQ(ini.GetString(u"a", u"k"), u"值");
}

TEST(SkinIni, HostileFilesGiveDefaults) {
    TempFolder folder;
    const std::string files[] = {
        std::string("\xFF\xFE[\0A\0]\0\n\0K\0=\0v", 15), // UTF-16 cut in a character
        "[A\nK=v\n",                                     // section never closed
        std::string("[A]\nK\0=v\n\0\0\0", 12),           // NULs in names and after
        "\xC3\x28\xF0\x9F[A]\n=\n==\n\xED\xA0\x80=x\n",  // broken UTF-8, empty keys
        "[A]\n" + std::string(100000, '['),              // one enormous line
    };
    for (const std::string& bytes : files) {
        const CIniFile ini(folder.Write("hostile.ini", bytes));
        EXPECT_EQ(ini.GetString(u"A", u"MISSING", u"d"), u"d");
        EXPECT_EQ(ReadSkinRect(ini, u"BUTTONINFO", u"CONTROL_OK"), SkinRect{});
    }
    // A folder where the file should be.
    std::filesystem::create_directory(folder / "Skins.ini");
    EXPECT_EQ(CIniFile(folder / "Skins.ini").GetString(u"A", u"K", u"d"), u"d");
    EXPECT_FALSE(CIniFile(folder / "Skins.ini").WriteString(u"A", u"K", u"v"));
}

struct LinkCase {
    std::string_view skin;
    std::string expected;
};

TEST(SkinIni, LinkAddress) {
    TempFolder folder;
    const LinkCase cases[] = {
        {"[SCREEN]\n", "file:///opt/tavrik/Help/index.html"},
        {"[SCREEN]\nLink=https://voltri.example/vx60\n", "https://voltri.example/vx60"},
        {"[SCREEN]\nLink=Help\\faq page.html\n", "file:///opt/tavrik/Help/faq%20page.html"},
        {"[SCREEN]\nLink=/usr/share/doc/x.html\n", "file:///usr/share/doc/x.html"},
        // Only web pages and files: anything else falls back to the help page.
        {"[SCREEN]\nLink=javascript:alert(1)\n", "file:///opt/tavrik/Help/index.html"},
    };
    for (const LinkCase& c : cases) {
        const CIniFile ini(folder.Write("Main.ini", c.skin));
        EXPECT_EQ(SkinLinkAddress(ini, "/opt/tavrik"), c.expected) << c.skin;
    }
}

} // namespace
} // namespace tavrik
