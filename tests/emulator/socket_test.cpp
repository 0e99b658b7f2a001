#include "bridge_listener.h"
#include "emulator/control_commands.h"
#include "emulator/emulated_hid_bridge.h"
#include "emulator/emulator_server.h"
#include "emulator/socket_hid_bridge.h"
#include "emulator/socket_io.h"
#include "frame_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tavrik::emu {
namespace {

using test::BridgeListener;
using test::Count;
using test::Request;
using test::Write;

constexpr auto kReportKind = static_cast<uint32_t>(NotificationKind::ReportReceived);
constexpr auto kCountKind = static_cast<uint32_t>(NotificationKind::CountChanged);

// A private folder for sockets and files, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/tavrik-emu-test-XXXXXX";
        EXPECT_NE(::mkdtemp(name), nullptr);
        path_ = name;
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// One emulated keyboard served on a socket by a thread of the test.
class ServedKeyboard {
public:
    ServedKeyboard()
        : path_(folder_.File("kbd.sock"))
        , control_(bridge_) {
        std::string error;
        EXPECT_TRUE(server_.Listen(path_, &error)) << error;
        thread_ = std::thread([this] { server_.Run(); });
    }
    ~ServedKeyboard() { Stop(); }

    void Stop() {
        if (!thread_.joinable())
            return;
        server_.Stop();
        thread_.join();
    }

    std::unique_ptr<SocketHidBridge> Connect() {
        std::string error;
        auto client = SocketHidBridge::Connect(path_, &error);
        EXPECT_NE(client, nullptr) << error;
        return client;
    }

    const std::string& Path() const { return path_; }
    EmulatedHidBridge& Bridge() { return bridge_; }

private:
    TempFolder folder_;
    std::string path_;
    EmulatedHidBridge bridge_;
    ControlCommands control_;
    EmulatorServer server_{
        bridge_, [this](const std::vector<std::string>& args) { return control_.Run(args); }};
    std::thread thread_;
};

TEST(SocketBridge, EveryClientWithAStandingReadHearsTheKeyboard) {
    BridgeListener guiCtrl, guiCons, cliCtrl, cliCons;
    ServedKeyboard keyboard;
    auto gui = keyboard.Connect();
    auto cli = keyboard.Connect();
    ASSERT_TRUE(gui && cli);
    guiCtrl.Listen(*gui, kCtrlUnit, UnitTag::Ctrl);
    guiCons.Listen(*gui, kConsUnit, UnitTag::Cons);
    cliCtrl.Listen(*cli, kCtrlUnit, UnitTag::Ctrl);
    cliCons.Listen(*cli, kConsUnit, UnitTag::Cons);
    EXPECT_EQ(Count(*gui), 1);

    EXPECT_EQ(Write(*cli, Request(3, 28)), 64);
    for (BridgeListener* ctrl : {&guiCtrl, &cliCtrl}) {
        ctrl->WaitFor(1);
        const auto delivered = ctrl->Take();
        ASSERT_EQ(delivered.size(), 1u);
        EXPECT_EQ(delivered[0].kind, kReportKind);
        EXPECT_EQ(delivered[0].tag, static_cast<uint32_t>(UnitTag::Ctrl));
        EXPECT_EQ(delivered[0].report.size(), 64u);
        EXPECT_EQ(delivered[0].report[frame::kCommand], 3);
        EXPECT_NE(delivered[0].thread, std::this_thread::get_id());
    }

    const auto reply = cli->Control({"bank"});
    ASSERT_TRUE(reply && reply->ok);
    for (BridgeListener* cons : {&guiCons, &cliCons}) {
        cons->WaitFor(1);
        const auto delivered = cons->Take();
        ASSERT_EQ(delivered.size(), 1u);
        EXPECT_EQ(delivered[0].report, (std::vector<uint8_t>{0xFF, 0x02}));
    }

    ASSERT_TRUE(gui->Control({"unplug"}));
    guiCtrl.WaitFor(1);
    EXPECT_EQ(guiCtrl.Take().at(0).lengthOrCount, 0u);
    EXPECT_EQ(Count(*cli), 0);
    EXPECT_EQ(Write(*cli, Request(3, 28)), 0);
}

TEST(SocketBridge, RefusesAWrongCheckAndForwardsStatusWrites) {
    ServedKeyboard keyboard;
    auto client = keyboard.Connect();
    ASSERT_TRUE(client);
    const ConfigFrame frame = Request(3, 28);
    EXPECT_EQ(client->RequestWriteOne(kCtrlUnit, frame, ArgumentCheck(kCtrlUnit, nullptr, 0, {})),
              kArgumentCheckRefused);
    const std::array<uint8_t, 2> status{0x05, 0x03};
    uint32_t id = 0;
    EXPECT_EQ(client->RequestStatusWrite(kLedUnit, nullptr, UnitTag::Led, status,
                                         ArgumentCheck(kLedUnit, nullptr, 0x004C4544, status), &id),
              1);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(keyboard.Bridge().FramesReceived(), 0);
    EXPECT_EQ(keyboard.Bridge().LedStatusWrites(), (std::vector<std::array<uint8_t, 2>>{status}));
}

TEST(SocketBridge, ServerGoingAwayLooksLikeAnUnpluggedKeyboard) {
    BridgeListener ctrl;
    ServedKeyboard keyboard;
    auto client = keyboard.Connect();
    ASSERT_TRUE(client);
    const uint32_t id = ctrl.Listen(*client, kCtrlUnit, UnitTag::Ctrl);
    EXPECT_NE(id, 0u);
    keyboard.Stop();
    ctrl.WaitFor(1);
    const auto delivered = ctrl.Take();
    EXPECT_EQ(delivered.at(0).kind, kCountKind);
    EXPECT_EQ(delivered.at(0).lengthOrCount, 0u);
    EXPECT_EQ(Count(*client), 0);
    EXPECT_EQ(Write(*client, Request(3, 28)), 0);
}

TEST(SocketBridge, DeletedReadHearsNothingMore) {
    BridgeListener first, second;
    ServedKeyboard keyboard;
    auto client = keyboard.Connect();
    ASSERT_TRUE(client);
    const uint32_t firstId = first.Listen(*client, kConsUnit, UnitTag::Cons);
    second.Listen(*client, kConsUnit, UnitTag::Cons);
    EXPECT_EQ(client->DeleteRequestFromUnitId(firstId), 1);
    EXPECT_EQ(client->DeleteRequestFromUnitId(firstId), 0);
    client->Control({"lighting-changed"});
    second.WaitFor(1);
    EXPECT_EQ(second.Take().at(0).report, (std::vector<uint8_t>{0x01, 0x04}));
    client->Control({"bank"});
    second.WaitFor(1); // the first read would have heard both events by now
    EXPECT_TRUE(first.Take().empty());
}

TEST(SocketServer, RefusesASecondServerAndReplacesAStaleSocket) {
    ServedKeyboard keyboard;
    TempFolder folder;
    EmulatedHidBridge other;
    std::string error;
    {
        EmulatorServer second(other, {});
        EXPECT_FALSE(second.Listen(keyboard.Path(), &error));
        EXPECT_NE(error.find("already serves"), std::string::npos) << error;
    }
    const std::string own = folder.File("own.sock");
    {
        EmulatorServer ending(other, {});
        ASSERT_TRUE(ending.Listen(own, &error));
    }
    EXPECT_NE(::access(own.c_str(), F_OK), 0); // an ending server removes its socket file

    const std::string stale = folder.File("stale.sock");
    {
        EmulatorServer crashed(other, {});
        ASSERT_TRUE(crashed.Listen(stale, &error));
        ::link(stale.c_str(), (stale + ".kept").c_str()); // the file outlives its server
    }
    ::rename((stale + ".kept").c_str(), stale.c_str());
    EmulatorServer replacement(other, {});
    EXPECT_TRUE(replacement.Listen(stale, &error)) << error;

    const std::string plainFile = folder.File("plain");
    std::ofstream(plainFile) << "not a socket";
    EmulatorServer refused(other, {});
    EXPECT_FALSE(refused.Listen(plainFile, &error));
    std::ifstream kept(plainFile);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "not a socket");
}

TEST(SocketServer, ClientSpeakingNonsenseIsDroppedAndOthersCarryOn) {
    ServedKeyboard keyboard;
    std::string error;
    const int fd = ConnectUnixSocket(keyboard.Path(), &error);
    ASSERT_GE(fd, 0) << error;
    const uint8_t garbage[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x01};
    EXPECT_TRUE(SendAll(fd, garbage));
    uint8_t byte = 0;
    EXPECT_EQ(::recv(fd, &byte, 1, 0), 0); // the server hangs up
    ::close(fd);
    auto client = keyboard.Connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(Count(*client), 1);
}

} // namespace
} // namespace tavrik::emu
