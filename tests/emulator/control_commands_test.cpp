#include "bridge_listener.h"
#include "emulator/control_commands.h"
#include "frame_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace tavrik::emu {
namespace {

ControlOutcome Command(ControlCommands& control, std::vector<std::string> args) {
    return control.Run(args);
}

TEST(ControlCommands, MalformedCommandsAreExplainedAndChangeNothing) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command: frobnicate"},
        {{"press"}, "wrong number of arguments for press"},
        {{"press", "19", "20"}, "wrong number of arguments for press"},
        {{"press", "160"}, "from 0 to 159, not 160"},
        {{"tap", "-1"}, "from 0 to 159"},
        {{"release", "1x"}, "from 0 to 159"},
        {{"fault", "melt", "3"}, "unknown fault: melt"},
        {{"fault", "silent"}, "needs a frame count"},
        {{"fault", "echo", "two"}, "needs a frame count"},
        {{"fault", "none", "3"}, "takes no frame count"},
        {{"fault", "flip-keymap"}, "needs a device address"},
        {{"fault", "flip-macro", "65536"}, "needs a device address"},
        {{"dump", "flash"}, "unknown area: flash"},
        {{"load", "/nonexistent/state"},
         "cannot read /nonexistent/state: No such file or directory"},
        {{"quit", "now"}, "wrong number of arguments"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EmulatedHidBridge bridge;
        ControlCommands control(bridge);
        const KeyboardMemory before =
            bridge.WithFirmware([](KeyboardFirmware& f) { return f.Memory(); });
        const ControlOutcome outcome = Command(control, c.args);
        EXPECT_FALSE(outcome.reply.ok);
        EXPECT_FALSE(outcome.quit);
        EXPECT_NE(outcome.reply.text.find(c.message), std::string::npos) << outcome.reply.text;
        bridge.WithFirmware([&before](KeyboardFirmware& f) {
            EXPECT_EQ(f.Memory(), before);
            EXPECT_TRUE(f.TakeTyped().empty());
        });
        EXPECT_TRUE(bridge.Plugged());
    }
}

TEST(ControlCommands, TapTypesAndTypedListsEachEventOnce) {
    EmulatedHidBridge bridge;
    ControlCommands control(bridge);
    bridge.WithFirmware([](KeyboardFirmware& f) {
        const uint8_t image[] = {
            0xAA, 0x55, 30, 0,    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 30 bytes, 1 macro
            18,   0,                                                  // block at 18
            2,    0,    2,  0,                                        // 2 actions, played twice
            0x0C, 0xA0, 1,  0x02,                                     // press left Shift, 120 ms
            0x03, 0x20, 1,  0x02,                                     // release left Shift, 30 ms
        };
        std::copy(std::begin(image), std::end(image), f.Memory().macroMemory.begin());
        f.Memory().keyMaps[0][18 * 3] = 5;
        f.Memory().keyMaps[0][18 * 3 + 1] = 1;
        f.Memory().keyMaps[0][18 * 3 + 2] = 0;
    });
    EXPECT_TRUE(Command(control, {"tap", "19"}).reply.ok);
    EXPECT_TRUE(Command(control, {"tap", "18"}).reply.ok);
    EXPECT_EQ(Command(control, {"typed"}).reply.text, "0 0007 0004 down\n"
                                                      "0 0007 0004 up\n"
                                                      "0 0007 00e1 down\n"
                                                      "120 0007 00e1 up\n"
                                                      "150 0007 00e1 down\n"
                                                      "270 0007 00e1 up\n");
    EXPECT_EQ(Command(control, {"typed"}).reply.text, "");
}

TEST(ControlCommands, KeyboardEventsNeedAnAttachedKeyboard) {
    test::BridgeListener cons;
    EmulatedHidBridge bridge;
    ControlCommands control(bridge);
    cons.Listen(bridge, kConsUnit, UnitTag::Cons);
    EXPECT_TRUE(Command(control, {"bank"}).reply.ok);
    EXPECT_TRUE(Command(control, {"lighting-changed"}).reply.ok);
    EXPECT_TRUE(Command(control, {"unplug"}).reply.ok);
    for (const char* command : {"bank", "lighting-changed"}) {
        const ControlOutcome outcome = Command(control, {command});
        EXPECT_FALSE(outcome.reply.ok);
        EXPECT_EQ(outcome.reply.text, "the keyboard is unplugged");
    }
    EXPECT_FALSE(Command(control, {"tap", "19"}).reply.ok);
    EXPECT_TRUE(Command(control, {"plug"}).reply.ok);
    bridge.WaitDelivered();
    const auto delivered = cons.Take();
    ASSERT_EQ(delivered.size(), 4u); // two events, then the count going to 0 and back to 1
    EXPECT_EQ(delivered[0].report, (std::vector<uint8_t>{0xFF, 0x02}));
    EXPECT_EQ(delivered[1].report, (std::vector<uint8_t>{0x01, 0x04}));
    EXPECT_TRUE(Command(control, {"quit"}).quit);
}

TEST(ControlCommands, FaultsDumpsAndStateFiles) {
    test::BridgeListener ctrl;
    EmulatedHidBridge bridge;
    ControlCommands control(bridge);
    ctrl.Listen(bridge, kCtrlUnit, UnitTag::Ctrl);
    EXPECT_TRUE(Command(control, {"fault", "refuse-fe", "1"}).reply.ok);
    test::Write(bridge, test::Request(3, 28));
    test::Write(bridge, test::Request(3, 28));
    bridge.WaitDelivered();
    const auto answers = ctrl.Take();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].report[frame::kStatus], 0xFE);
    EXPECT_EQ(answers[1].report[frame::kStatus], 0);

    // A flipped byte: the write is acknowledged, the dump shows what was really stored, and
    // "fault none" ends it.
    EXPECT_TRUE(Command(control, {"fault", "flip-keymap", "1"}).reply.ok);
    const uint8_t keys[] = {0x10, 0x20, 0x30};
    test::Write(bridge, test::Request(8, 3, 0, keys));
    EXPECT_TRUE(Command(control, {"fault", "none"}).reply.ok);
    test::Write(bridge, test::Request(8, 3, 3, keys));
    bridge.WaitDelivered();
    EXPECT_EQ(ctrl.Take().back().report[frame::kStatus], 0);
    EXPECT_EQ(Command(control, {"dump", "keymap0"}).reply.text.substr(0, 24),
              "0000: 10 df 30 10 20 30 ");

    EXPECT_EQ(Command(control, {"dump", "settings"}).reply.text,
              "0000: 00 00 00 00 00 00 00 00 00 00 00 20 01 02 03 04\n"
              "0010: 05 06 07 08 09 0a 00 00 00 00 00 00\n");
    EXPECT_EQ(Command(control, {"dump", "colours"}).reply.text.size(), 30u * 54);

    char folder[] = "/tmp/tavrik-emu-ctl-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/state";
    EXPECT_TRUE(Command(control, {"save", path}).reply.ok);
    const uint8_t brightness[] = {9};
    test::Write(bridge, test::Request(6, 1, 1, brightness));
    EXPECT_TRUE(Command(control, {"load", path}).reply.ok);
    bridge.WithFirmware([](KeyboardFirmware& f) { EXPECT_EQ(f.Memory().lighting[1], 20); });
    std::filesystem::resize_file(path, 1000);
    const ControlOutcome damaged = Command(control, {"load", path});
    EXPECT_FALSE(damaged.reply.ok);
    EXPECT_NE(damaged.reply.text.find("damaged"), std::string::npos) << damaged.reply.text;
    test::Write(bridge, test::Request(6, 1, 1, brightness));
    bridge.WithFirmware([](KeyboardFirmware& f) { EXPECT_EQ(f.Memory().lighting[1], 9); });
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tavrik::emu
