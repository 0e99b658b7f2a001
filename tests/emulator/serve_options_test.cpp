#include "emulator/serve_options.h"

#include <gtest/gtest.h>

namespace tavrik::emu {
namespace {

TEST(ServeOptions, ParsesEveryOption) {
    std::string error;
    const auto options = ParseServeOptions({"/run/kbd.sock", "--capacity-units", "255", "--effects",
                                            "1,6,10", "--profile", "2", "--report-interval-ms",
                                            "0.125", "--state", "kbd.state", "--unplugged"},
                                           &error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->socketPath, "/run/kbd.sock");
    EXPECT_EQ(options->config.macroCapacityUnits, 255);
    EXPECT_EQ(options->config.offeredEffects, (OfferedEffects{1, 6, 10}));
    EXPECT_EQ(options->config.activeProfile, 2);
    EXPECT_EQ(options->reportInterval, std::chrono::microseconds(125));
    EXPECT_EQ(options->stateFile, "kbd.state");
    EXPECT_FALSE(options->plugged);

    const auto defaults = ParseServeOptions({"kbd.sock"}, &error);
    ASSERT_TRUE(defaults);
    EXPECT_TRUE(defaults->plugged);
    EXPECT_EQ(defaults->reportInterval.count(), 0);
    EXPECT_EQ(defaults->config.macroCapacityUnits, FirmwareConfig{}.macroCapacityUnits);
}

TEST(ServeOptions, RefusesWhatNoKeyboardCanBe) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--unplugged"},
        {"a.sock", "b.sock"},
        {"a.sock", "--capacity-units"},
        {"a.sock", "--capacity-units", "0"},
        {"a.sock", "--capacity-units", "256"},
        {"a.sock", "--effects", "1,,2"},
        {"a.sock", "--effects", "11"},
        {"a.sock", "--effects", "1,2,3,4,5,6,7,8,9,10,1,2,3,4,5"},
        {"a.sock", "--profile", "3"},
        {"a.sock", "--report-interval-ms", "-1"},
        {"a.sock", "--report-interval-ms", "fast"},
        {"a.sock", "--state", ""},
        {"a.sock", "--verbose"},
    };
    for (const auto& args : cases) {
        std::string error;
        EXPECT_FALSE(ParseServeOptions(args, &error)) << testing::PrintToString(args);
        EXPECT_FALSE(error.empty());
    }
}

TEST(ServeOptions, HelpAnywhereAsksForTheUsageAlone) {
    const std::vector<std::vector<std::string>> cases = {
        {"--help"},
        {"-h"},
        {"kbd.sock", "--profile", "1", "--help"},
        {"--verbose", "a.sock", "b.sock", "-h"},
    };
    for (const auto& args : cases) {
        std::string error;
        const auto options = ParseServeOptions(args, &error);
        ASSERT_TRUE(options) << testing::PrintToString(args) << ": " << error;
        EXPECT_TRUE(options->help);
    }
    std::string error;
    EXPECT_FALSE(ParseServeOptions({"kbd.sock"}, &error)->help);
}

} // namespace
} // namespace tavrik::emu
