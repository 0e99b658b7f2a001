// What the doctor finds on the fake platform: nodes, their collections, report ids and units,
// whether each opens, and who may open it; nothing is written to any node.
#include "device/hid_diagnosis.h"
#include "fake_hid_platform.h"
#include "keyboard_nodes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrik {
namespace {

using test::FakeHidPlatform;
using test::FakeHidSystem;
using test::kCons;
using test::kCtrl;
using test::kLed;
using test::kRootOnly;
using test::kSharedDescriptor;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

MATCHER_P4(CollectionIs, page, usage, ids, unit, "") {
    return arg.usagePage == page && arg.usage == usage && arg.reportIds == ids && arg.unit == unit;
}

HidCollectionInfo OnInterface(HidCollectionInfo info, int interfaceNumber) {
    info.interfaceNumber = interfaceNumber;
    return info;
}

TEST(HidDiagnosis, RoutesEachDeclaredReportToItsUnitAndOpensTheNode) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw4",
                  {OnInterface(kCons, 1), OnInterface(kCtrl, 1), OnInterface(kLed, 1)},
                  kSharedDescriptor);
    system.SetSystemFacts({.hidapiVersion = "0.13.1",
                           .libudevVersion = "252",
                           .userId = 1000,
                           .user = "alice",
                           .udevRules = {"/lib/udev/rules.d/70-voltri-vx60.rules"}});
    FakeHidPlatform platform(system);

    const HidDiagnosis diagnosis = DiagnoseHid(platform);
    EXPECT_EQ(diagnosis.system.user, "alice");
    EXPECT_THAT(diagnosis.system.udevRules, ElementsAre("/lib/udev/rules.d/70-voltri-vx60.rules"));
    ASSERT_EQ(diagnosis.nodes.size(), 1u);
    const DiagnosedNode& node = diagnosis.nodes[0];
    EXPECT_EQ(node.path, "/dev/hidraw4");
    EXPECT_EQ(node.interfaceNumber, 1);
    EXPECT_EQ(node.descriptor, DescriptorState::Parsed);
    EXPECT_THAT(node.collections,
                ElementsAre(CollectionIs(0x000C, 0x0001, std::vector<uint8_t>{3}, "CONS"),
                            CollectionIs(0xFF1C, 0x0092, std::vector<uint8_t>{4}, "CTRL"),
                            CollectionIs(0x0008, 0x0089, std::vector<uint8_t>{5}, "LED")));
    EXPECT_EQ(node.open, OpenFailure::None);
    EXPECT_TRUE(diagnosis.ControlReachable());
    EXPECT_THAT(system.Written("/dev/hidraw4"), IsEmpty());
}

TEST(HidDiagnosis, ANodeThatMayNotBeOpenedSaysWhoOwnsIt) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw6", {kCons, kCtrl, kLed}, kSharedDescriptor);
    system.SetAccess("/dev/hidraw6", false);
    system.SetNodeAccess("/dev/hidraw6", kRootOnly);
    FakeHidPlatform platform(system);

    const HidDiagnosis diagnosis = DiagnoseHid(platform);
    ASSERT_EQ(diagnosis.nodes.size(), 1u);
    EXPECT_EQ(diagnosis.nodes[0].open, OpenFailure::AccessDenied);
    EXPECT_EQ(diagnosis.nodes[0].access.mode, 0600u);
    EXPECT_EQ(diagnosis.nodes[0].access.owner, "root");
    EXPECT_FALSE(diagnosis.nodes[0].access.uaccessTag);
    EXPECT_FALSE(diagnosis.ControlReachable());
}

TEST(HidDiagnosis, WithoutAReadableDescriptorTheCollectionsAreThoseHidapiLists) {
    struct Case {
        const char* name;
        std::optional<std::vector<uint8_t>> descriptor;
        DescriptorState state;
    };
    const Case cases[] = {
        {"unreadable", std::nullopt, DescriptorState::Unreadable},
        {"malformed", std::vector<uint8_t>{0xA1, 0x01}, DescriptorState::Malformed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHidSystem system;
        system.Attach("/dev/hidraw2", {kCtrl}, c.descriptor);
        FakeHidPlatform platform(system);
        const HidDiagnosis diagnosis = DiagnoseHid(platform);
        ASSERT_EQ(diagnosis.nodes.size(), 1u);
        EXPECT_EQ(diagnosis.nodes[0].descriptor, c.state);
        EXPECT_THAT(diagnosis.nodes[0].collections,
                    ElementsAre(CollectionIs(0xFF1C, 0x0092, std::vector<uint8_t>{}, "CTRL")));
        EXPECT_TRUE(diagnosis.ControlReachable());
    }
}

TEST(HidDiagnosis, OnlyANodeWithTheConfigurationUnitMakesTheKeyboardReachable) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw1", {kCons});
    system.Attach("/dev/hidraw2", {kCtrl});
    system.SetAccess("/dev/hidraw2", false);
    FakeHidPlatform platform(system);

    const HidDiagnosis diagnosis = DiagnoseHid(platform);
    ASSERT_EQ(diagnosis.nodes.size(), 2u);
    EXPECT_EQ(diagnosis.nodes[0].open, OpenFailure::None);
    EXPECT_TRUE(diagnosis.nodes[0].HasUnit("CONS"));
    EXPECT_FALSE(diagnosis.ControlReachable());

    FakeHidSystem empty;
    FakeHidPlatform nothing(empty);
    EXPECT_THAT(DiagnoseHid(nothing).nodes, IsEmpty());
    EXPECT_FALSE(DiagnoseHid(nothing).ControlReachable());
}

} // namespace
} // namespace tavrik
