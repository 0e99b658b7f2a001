// The same exchanges as on the in-process keyboard, with the keyboard served by the emulator on a
// UNIX socket and reached through `--device emu:PATH`.
#include "device/active_profile.h"
#include "device/lighting_readout.h"
#include "emulator/emulator_server.h"
#include "keyboard_rig.h"
#include "transport/backend_selection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace tavrik {
namespace {

using namespace std::chrono_literals;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The emulated keyboard served by a thread of the test in a private folder.
class ServedKeyboard {
public:
    ServedKeyboard() {
        char folder[] = "/tmp/tavrik-device-test-XXXXXX";
        EXPECT_NE(::mkdtemp(folder), nullptr);
        folder_ = folder;
        std::string error;
        EXPECT_TRUE(server_.Listen(Path(), &error)) << error;
        thread_ = std::thread([this] { server_.Run(); });
    }
    ~ServedKeyboard() {
        server_.Stop();
        thread_.join();
        std::filesystem::remove_all(folder_);
    }
    std::string Path() const { return folder_ + "/kbd.sock"; }

    EmulatedHidBridge keyboard;

private:
    std::string folder_;
    emu::EmulatorServer server_{keyboard, [](const auto&) { return emu::ControlOutcome{}; }};
    std::thread thread_;
};

// The device link on the client side, wired as the program wires it.
struct ClientLink {
    explicit ClientLink(HidBridge& bridge)
        : log(bridge) {
        readId = test::IssueCtrlRead(bridge, delivery);
    }
    test::FrameLogBridge log;
    FrameExchange exchange{log};
    DeviceCommands commands{exchange};
    UnitCallback delivery = test::AnswerDelivery(exchange);
    uint32_t readId = 0;

    std::vector<uint8_t> Lengths() const {
        std::vector<uint8_t> lengths;
        for (const ConfigFrame& f : log.Frames())
            lengths.push_back(f[frame::kLength]);
        return lengths;
    }
};

TEST(SocketExchange, SameExchangesOverTheEmulatorSocket) {
    ServedKeyboard served;
    std::string error;
    const auto choice = ChooseDevice("emu:" + served.Path(), nullptr, &error);
    ASSERT_TRUE(choice) << error;
    auto bridge = OpenBridge(*choice, &error);
    ASSERT_NE(bridge, nullptr) << error;
    ClientLink link(*bridge);

    {
        SCOPED_TRACE("bare begin");
        EXPECT_EQ(link.commands.BeginConfiguration(), DeviceResult::Done);
        ASSERT_EQ(link.log.Frames().size(), 1u);
        EXPECT_EQ(link.log.Frames()[0][frame::kChecksumLow], 1);
        EXPECT_EQ(link.log.Frames()[0][frame::kChecksumHigh], 0);
    }
    {
        SCOPED_TRACE("wrong echo, then the answer");
        link.log.Clear();
        served.keyboard.SetFault(emu::Fault::WrongEcho, 1);
        EXPECT_EQ(link.commands.BeginConfiguration(), DeviceResult::Done);
        EXPECT_EQ(link.log.Frames().size(), 2u);
    }
    {
        SCOPED_TRACE("three refusals");
        served.keyboard.SetFault(emu::Fault::RefuseFE, 3);
        EXPECT_EQ(link.commands.BeginConfiguration(), DeviceResult::RefusedFE);
    }
    {
        SCOPED_TRACE("480 bytes, and a failure in the fifth frame");
        link.log.Clear();
        const KeyMapBlock block = [] {
            KeyMapBlock b{};
            b.fill(0x3C);
            return b;
        }();
        EXPECT_EQ(link.commands.WriteKeyMapBlock(2, block), DeviceResult::Done);
        EXPECT_THAT(link.Lengths(), ElementsAre(56, 56, 56, 56, 56, 56, 56, 56, 32));
        link.log.Clear();
        link.log.BeforeFrame([&](const ConfigFrame&) {
            if (link.log.Frames().size() == 5)
                served.keyboard.SetFault(emu::Fault::RefuseFF, 3);
        });
        KeyMapBlock read{};
        read.fill(0xEE);
        EXPECT_EQ(link.commands.ReadKeyMapBlock(2, read), DeviceResult::RefusedFF);
        EXPECT_THAT(std::span(read).first(224), Each(0x3C));
        EXPECT_THAT(std::span(read).subspan(224), Each(0xEE));
        link.log.BeforeFrame({});
    }
    {
        SCOPED_TRACE("block index 3");
        link.log.Clear();
        KeyMapBlock block{};
        EXPECT_EQ(link.commands.ReadKeyMapBlock(3, block), DeviceResult::BadBlockIndex);
        EXPECT_THAT(link.log.Frames(), IsEmpty());
    }
    {
        SCOPED_TRACE("refused settings write");
        KeyboardFacts facts;
        link.log.BeforeFrame([&](const ConfigFrame& f) {
            if (f[frame::kCommand] == 4)
                served.keyboard.SetFault(emu::Fault::RefuseFE, 1);
        });
        EXPECT_EQ(SetActiveProfileIndex(link.commands, facts, 1), DeviceResult::RefusedFE);
        EXPECT_EQ(facts.ActiveProfile(), kUnknownProfile);
        link.log.BeforeFrame({});
    }
    {
        SCOPED_TRACE("lighting read with a failing settings read");
        link.log.Clear();
        served.keyboard.SetFault(emu::Fault::RefuseFF, 3);
        LightingReadout readout;
        EXPECT_EQ(ReadLightingAreas(link.commands, true, readout), DeviceResult::RefusedFF);
        EXPECT_EQ(link.log.Commands(), (std::vector<uint8_t>{3, 3, 3}));
    }
    {
        SCOPED_TRACE("three time-outs");
        served.keyboard.SetFault(emu::Fault::Silent, 3);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(link.commands.BeginConfiguration(), DeviceResult::NoAnswer);
        EXPECT_GE(std::chrono::steady_clock::now() - start, 2900ms);
    }
    {
        SCOPED_TRACE("no keyboard");
        served.keyboard.Unplug();
        link.log.Clear();
        EXPECT_EQ(link.commands.BeginConfiguration(), DeviceResult::NoKeyboard);
        EXPECT_THAT(link.log.Frames(), IsEmpty());
    }
    bridge->DeleteRequestFromUnitId(link.readId);
    bridge.reset(); // its delivery thread ends before the link's callback goes away
}

} // namespace
} // namespace tavrik
