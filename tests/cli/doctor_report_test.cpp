// tavrikctl doctor's report of hidraw nodes found on the fake platform: every reason a node may
// not be opened, with its one piece of advice, and the JSON for bug reports.
#include "cli/doctor_report.h"
#include "tests/device/fake_hid_platform.h"
#include "tests/device/keyboard_nodes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrik::cli {
namespace {

using test::FakeHidPlatform;
using test::FakeHidSystem;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kRule = "/lib/udev/rules.d/70-voltri-vx60.rules";
constexpr const char* kApply =
    "sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw";

HidSystemFacts System(std::vector<std::string> rules) {
    return {.hidapiVersion = "0.13.1",
            .libudevVersion = "252",
            .userId = 1000,
            .user = "alice",
            .udevRules = std::move(rules)};
}

HidNodeAccess Access(bool uaccessTag) {
    HidNodeAccess access = test::kRootOnly;
    access.uaccessTag = uaccessTag;
    return access;
}

// The keyboard on one node, opened or not, looked at as tavrikctl doctor does.
DoctorFindings Findings(bool allowed, std::vector<std::string> rules, bool uaccessTag) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw6", {test::kCons, test::kCtrl, test::kLed}, test::kSharedDescriptor);
    system.SetAccess("/dev/hidraw6", allowed);
    system.SetNodeAccess("/dev/hidraw6", Access(uaccessTag));
    system.SetSystemFacts(System(std::move(rules)));
    FakeHidPlatform platform(system);
    DoctorFindings findings;
    findings.transport = "hid";
    findings.hid = DiagnoseHid(platform);
    return findings;
}

TEST(DoctorReport, EachReasonANodeMayNotBeOpenedGetsItsAdvice) {
    struct Case {
        const char* name;
        std::vector<std::string> rules;
        bool uaccessTag;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"no rule installed",
         {},
         false,
         {"udev rule: not installed", "the udev rule is not installed: install the tavrik package",
          kRule, kApply}},
        {"rule installed, not applied",
         {kRule},
         false,
         {"udev rule: /lib/udev/rules.d/70-voltri-vx60.rules installed",
          "the rule is installed but not applied to this node", kApply}},
        {"tagged, but not the seat's user",
         {kRule},
         true,
         {", uaccess tag", "alice is not that user"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = DoctorText(Findings(false, c.rules, c.uaccessTag));
        EXPECT_THAT(text, HasSubstr("  /dev/hidraw6, interface ?, report descriptor read\n"
                                    "    collection 000C:0001, report 3 -> CONS\n"
                                    "    collection FF1C:0092, report 4 -> CTRL\n"
                                    "    collection 0008:0089, report 5 -> LED\n"
                                    "    permission denied\n"
                                    "    owner root, group root, mode 0600, "));
        for (const std::string& words : c.said)
            EXPECT_THAT(text, HasSubstr(words));
        EXPECT_THAT(text, HasSubstr("result: the program cannot configure the keyboard"));
    }
}

TEST(DoctorReport, AnOpenedNodeNeedsNoAdviceAndPassesWithTheSelfTest) {
    DoctorFindings findings = Findings(true, {kRule}, true);
    findings.keyboards = 1;
    findings.selfTest = {{"settings", DeviceResult::Done, std::chrono::microseconds(1500)}};
    const std::string text = DoctorText(findings);
    EXPECT_THAT(text, HasSubstr("hidapi 0.13.1, libudev 252\nuser: alice (uid 1000)\n"));
    EXPECT_THAT(text, HasSubstr("    opens\n"));
    EXPECT_THAT(text, Not(HasSubstr("owner root")));
    EXPECT_THAT(text, HasSubstr("  settings                        done  1.5 ms\n"));
    EXPECT_TRUE(findings.Ok());

    findings.selfTest.push_back({"lighting", DeviceResult::NoAnswer, {}});
    EXPECT_FALSE(findings.Ok()); // one failed read is enough
}

TEST(DoctorReport, JsonCarriesTheNodesTheirAccessAndTheVerdict) {
    const std::string json = DoctorJson(Findings(false, {}, false)).Text(false);
    EXPECT_THAT(json, HasSubstr(R"("path":"/dev/hidraw6")"));
    EXPECT_THAT(json, HasSubstr(R"("usagePage":65308,"usage":146,"reportIds":[4],"unit":"CTRL")"));
    EXPECT_THAT(json, HasSubstr(R"("open":"permission denied")"));
    EXPECT_THAT(
        json,
        HasSubstr(R"("access":{"owner":"root","group":"root","mode":"0600","uaccessTag":false})"));
    EXPECT_THAT(json, HasSubstr(R"("udevRules":[])"));
    EXPECT_THAT(json, HasSubstr(R"("ok":false)"));
}

} // namespace
} // namespace tavrik::cli
