#include "transport/backend_selection.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrik {
namespace {

using Kind = DeviceChoice::Kind;

TEST(BackendSelection, ParsesTheDeviceNames) {
    struct Case {
        const char* text;
        std::optional<DeviceChoice> expected;
    };
    const Case cases[] = {
        {"hid", DeviceChoice{Kind::Hid, {}}},
        {"demo", DeviceChoice{Kind::Demo, {}}},
        {"emu:/run/user/1000/kbd.sock", DeviceChoice{Kind::Emulator, "/run/user/1000/kbd.sock"}},
        {"emu:", std::nullopt},
        {"HID", std::nullopt},
        {"", std::nullopt},
        {"usb", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_EQ(ParseDeviceChoice(c.text, &error), c.expected);
        EXPECT_EQ(error.empty(), c.expected.has_value());
    }
}

TEST(BackendSelection, FindsTheFlagInEitherForm) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::optional<std::string_view> expected;
    };
    const Case cases[] = {
        {{"tavrik"}, std::nullopt},
        {{"tavrik", "--device", "demo"}, "demo"},
        {{"tavrik", "--device=emu:/tmp/s"}, "emu:/tmp/s"},
        {{"tavrik", "--device", "demo", "--device=hid"}, "hid"},
        {{"tavrik", "--device"}, ""},
        {{"tavrik", "--devices", "demo"}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.size());
        EXPECT_EQ(FindDeviceFlag(c.arguments), c.expected);
    }
}

TEST(BackendSelection, FlagWinsOverTheEnvironmentAndHidIsTheDefault) {
    std::string error;
    EXPECT_EQ(ChooseDevice("demo", "emu:/tmp/s", &error), (DeviceChoice{Kind::Demo, {}}));
    EXPECT_EQ(ChooseDevice(std::nullopt, "emu:/tmp/s", &error),
              (DeviceChoice{Kind::Emulator, "/tmp/s"}));
    EXPECT_EQ(ChooseDevice(std::nullopt, "", &error), DeviceChoice{});
    EXPECT_EQ(ChooseDevice(std::nullopt, nullptr, &error), DeviceChoice{});
    EXPECT_EQ(ChooseDevice("", nullptr, &error), std::nullopt); // "--device" without a value
    EXPECT_FALSE(error.empty());
}

TEST(BackendSelection, OpensTheDemoKeyboardAndExplainsAMissingEmulator) {
    std::string error;
    auto demo = OpenBridge({Kind::Demo, {}}, &error);
    ASSERT_NE(demo, nullptr);
    EXPECT_EQ(demo->RequestGetDeviceCount(kCtrlUnit, ArgumentCheck(kCtrlUnit, nullptr, 0, {})), 1);

    EXPECT_EQ(OpenBridge({Kind::Emulator, "/nonexistent/tavrik.sock"}, &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

} // namespace
} // namespace tavrik
