// The key table against the Linux kernel's own key tables (Linux 6.1.192, Debian's
// linux-source-6.1 package; verbatim excerpts in data/ with their origin and licence):
//   - drivers/hid/hid-input.c: hid_keyboard[] (keyboard page usage -> Linux key code) and the
//     Generic Desktop and consumer page cases of hidinput_configure_usage();
//   - drivers/input/keyboard/atkbd.c: atkbd_unxlate_table[] and atkbd_set2_keycode[], which
//     together turn a PS/2 keyboard's set-1 scan codes (with E0) into Linux key codes;
//   - include/uapi/linux/input-event-codes.h for the KEY_ names.
// A row's usage and its scan code are two descriptions of one key, so both must reach the same
// Linux key code. Where they do not, the row is listed below with the reason.

#include "keys/evdev_map.h"
#include "keys/key_table.h"
#include "keys/text.h"

#include "kernel_key_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace tavrik {
namespace {

using test::KernelKeyTables;

class KernelKeyTablesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kernel_ = KernelKeyTables::Load(TAVRIK_TEST_DATA, loadError_); }

    void SetUp() override { ASSERT_TRUE(kernel_.has_value()) << loadError_; }

    static const KernelKeyTables& Kernel() { return *kernel_; }

    // The Linux key code of a row's usage (USB) and of its scan code (PS/2).
    struct KernelCodes {
        int viaUsage = 0;
        int viaScanCode = 0;
    };
    static KernelCodes CodesOf(ScanCode scan) {
        const Usage usage = UsageFromScan(scan);
        return {Kernel().FromUsage(usage.page, usage.usage), Kernel().FromSet1(scan)};
    }

    // A real key code, not "none", KEY_UNKNOWN or the PS/2 driver's "drop this" mark.
    static bool IsKey(int code) {
        return code > 0 && code != Kernel().Key("KEY_UNKNOWN") && code != Kernel().AtkbdKeyNull();
    }

    static std::vector<ScanCode> NamedRows() {
        std::vector<ScanCode> scans;
        for (int index = 0; index < kKeyTableSize; ++index) {
            if (!KeyTableRow(static_cast<KeyIndex>(index)).name.empty()) {
                scans.push_back(ScanFromKeyIndex(static_cast<KeyIndex>(index)));
            }
        }
        return scans;
    }

    static std::string NameOf(ScanCode scan) {
        std::ostringstream text;
        text << Utf8From(KeyNameFromScan(scan)) << " (scan 0x" << std::hex << scan << ")";
        return text.str();
    }

private:
    static inline std::optional<KernelKeyTables> kernel_;
    static inline std::string loadError_;
};

struct Disagreement {
    ScanCode scan;
    const char* viaUsage; // KEY_ name, or "" for no key
    const char* viaScanCode;
    bool scanCodeIsThisKey; // whether Linux gives viaScanCode for this very key
    const char* why;
};

// Rows whose usage and scan code reach different Linux key codes, each for a reason.
const Disagreement kDisagreements[] = {
    {0x045, "KEY_PAUSE", "KEY_NUMLOCK", false,
     "Pause sends E1 1D 45, which Windows reports as 0x045 and moves Num Lock (the plain 45) to "
     "0x145; the kernel's array keeps 45 for Num Lock and reaches Pause through the E1 prefix"},
    {0x145, "KEY_NUMLOCK", "KEY_PAUSE", false, "the other half of the Pause / Num Lock swap"},
    {0x054, "", "KEY_SYSRQ", true,
     "Sys Req is Alt+Print Screen: a USB keyboard sends Print Screen's usage with Alt, so the row "
     "has no usage of its own; PS/2 keyboards send 54, which Linux calls KEY_SYSRQ"},
    {0x071, "KEY_HANJA", "", false,
     "KL sends the single byte F1 without a release; atkbd_set_keycode_table() gives it KEY_HANJA "
     "in code, outside the arrays, which is also why its press is reported only as a release"},
    {0x072, "KEY_HANGEUL", "", false, "KR sends F2; as KL, with KEY_HANGEUL"},
    {0x136, "KEY_RIGHTSHIFT", "ATKBD_KEY_NULL", false,
     "E0 36 is the fake Shift some keyboards wrap around E0 keys; the kernel drops it"},
    {0x16B, "KEY_FILE", "KEY_COMPUTER", true,
     "consumer usage 0x194 (AL Local Machine Browser) is KEY_FILE for USB keyboards, E0 6B is "
     "KEY_COMPUTER for PS/2 ones; the Linux key map accepts both"},
    {0x16D, "KEY_CONFIG", "KEY_MEDIA", true,
     "consumer usage 0x183 (AL Consumer Control Configuration) is KEY_CONFIG for USB keyboards, "
     "E0 6D is KEY_MEDIA for PS/2 ones; the Linux key map accepts both"},
    {0x16F, "", "KEY_MACRO", false,
     "tilt right is a function the program performs, not a key the keyboard sends; E0 6F is an "
     "unrelated vendor key Linux calls KEY_MACRO"},
};

const Disagreement* FindDisagreement(ScanCode scan) {
    const auto found = std::find_if(std::begin(kDisagreements), std::end(kDisagreements),
                                    [scan](const Disagreement& d) { return d.scan == scan; });
    return found == std::end(kDisagreements) ? nullptr : &*found;
}

int CodeOf(const KernelKeyTables& kernel, std::string_view name) {
    if (name.empty()) {
        return 0;
    }
    return name == "ATKBD_KEY_NULL" ? kernel.AtkbdKeyNull() : kernel.Key(name);
}

TEST_F(KernelKeyTablesTest, UsageAndScanCodeOfEveryRowNameTheSameLinuxKey) {
    std::set<ScanCode> disagreementsSeen;
    for (const ScanCode scan : NamedRows()) {
        SCOPED_TRACE(NameOf(scan));
        const KernelCodes codes = CodesOf(scan);
        if (!IsKey(codes.viaUsage) && !IsKey(codes.viaScanCode)) {
            continue; // a function of the program: neither a usage nor a PS/2 code names it
        }
        const Disagreement* listed = FindDisagreement(scan);
        if (listed == nullptr) {
            EXPECT_EQ(codes.viaUsage, codes.viaScanCode);
            continue;
        }
        SCOPED_TRACE(listed->why);
        disagreementsSeen.insert(scan);
        EXPECT_EQ(codes.viaUsage, CodeOf(Kernel(), listed->viaUsage));
        EXPECT_EQ(codes.viaScanCode, CodeOf(Kernel(), listed->viaScanCode));
    }
    EXPECT_EQ(disagreementsSeen.size(), std::size(kDisagreements)) << "a listed row is gone";
}

// The Linux key codes that can stand for more than one row, and the row the map picks.
struct EvdevChoice {
    const char* key;
    ScanCode scan;
    const char* why;
};
const EvdevChoice kEvdevChoices[] = {
    {"KEY_PAUSE", 0x045, "Pause; Ctrl+Break (0x146) gives the same code"},
    {"KEY_SYSRQ", 0x137, "Print Screen; Alt+Print Screen (Sys Req, 0x054) gives the same code"},
    {"KEY_RIGHTSHIFT", 0x036, "the real right Shift, not the fake E0 36"},
};

// Codes the map has that neither kernel table gives for the row.
struct EvdevExtra {
    const char* key;
    ScanCode scan;
    const char* why;
};
const EvdevExtra kEvdevExtras[] = {
    {"KEY_F13", 0x064,
     "F13 is set-1 0x64 (set-2 08) on Windows keyboards; the kernel's default PS/2 table leaves "
     "that code unmapped and the row carries no usage"},
};

const EvdevChoice* FindChoice(const KernelKeyTables& kernel, int code) {
    for (const EvdevChoice& choice : kEvdevChoices) {
        if (kernel.Key(choice.key) == code) {
            return &choice;
        }
    }
    return nullptr;
}

bool IsListedExtra(const KernelKeyTables& kernel, int code, ScanCode scan) {
    return std::any_of(std::begin(kEvdevExtras), std::end(kEvdevExtras),
                       [&](const EvdevExtra& extra) {
                           return kernel.Key(extra.key) == code && extra.scan == scan;
                       });
}

TEST_F(KernelKeyTablesTest, EvdevMapGivesTheRowOfEveryLinuxCodeTheKernelAssigns) {
    // Every (Linux code, row) pair the kernel tables produce for the named rows: the code of the
    // row's usage (how this USB keyboard reaches Linux) and that of its PS/2 scan code.
    std::map<int, std::set<ScanCode>> rowsOfCode;
    for (const ScanCode scan : NamedRows()) {
        const KernelCodes codes = CodesOf(scan);
        const Disagreement* listed = FindDisagreement(scan);
        if (IsKey(codes.viaUsage)) {
            rowsOfCode[codes.viaUsage].insert(scan);
        }
        if (IsKey(codes.viaScanCode) && (listed == nullptr || listed->scanCodeIsThisKey)) {
            rowsOfCode[codes.viaScanCode].insert(scan);
        }
    }
    std::set<int> choicesSeen;
    for (const auto& [code, scans] : rowsOfCode) {
        SCOPED_TRACE("Linux key code " + std::to_string(code));
        if (scans.size() == 1) {
            EXPECT_EQ(ScanFromEvdev(static_cast<uint32_t>(code)), *scans.begin());
            continue;
        }
        const EvdevChoice* choice = FindChoice(Kernel(), code);
        ASSERT_TRUE(choice != nullptr) << "several rows share this code";
        choicesSeen.insert(code);
        EXPECT_TRUE(scans.count(choice->scan)) << choice->why;
        EXPECT_EQ(ScanFromEvdev(static_cast<uint32_t>(code)), choice->scan) << choice->why;
    }
    EXPECT_EQ(choicesSeen.size(), std::size(kEvdevChoices)) << "a listed choice is not needed";

    // And nothing else: every code the map knows comes from the kernel tables or is listed.
    for (uint32_t code = 0; code < 256; ++code) {
        const ScanCode scan = ScanFromEvdev(code);
        if (scan == 0) {
            continue;
        }
        SCOPED_TRACE("Linux key code " + std::to_string(code));
        const bool fromKernel = rowsOfCode.count(static_cast<int>(code)) != 0 &&
                                rowsOfCode.at(static_cast<int>(code)).count(scan) != 0;
        EXPECT_TRUE(fromKernel || IsListedExtra(Kernel(), static_cast<int>(code), scan));
    }
}

} // namespace
} // namespace tavrik
