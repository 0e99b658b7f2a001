// Runs inside scripts/hidraw-rig.sh: the hidapi backend on the real platform (hidapi's hidraw
// backend and libudev) against the rig's keyboard. A signal caught by a handler of the program
// interrupts hidapi's wait for an input report; that is no keyboard leaving.
#include "device/hidapi_bridge.h"
#include "device/hidapi_platform.h"
#include "notification_log.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace tavrik {
namespace {

constexpr auto kReport = static_cast<uint32_t>(NotificationKind::ReportReceived);

void Caught(int) {}

// Sends `signal` to every thread of this process but the calling one: the backend's readers
// among them.
void SignalOtherThreads(int signal) {
    const pid_t self = static_cast<pid_t>(::syscall(SYS_gettid));
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        const pid_t thread = std::stoi(task.path().filename());
        if (thread != self)
            ::syscall(SYS_tgkill, ::getpid(), thread, signal);
    }
}

int Count(HidBridge& bridge, const UnitDescriptor& unit) {
    return bridge.RequestGetDeviceCount(unit, ArgumentCheck(unit, nullptr, 0, {}));
}

TEST(InterruptedRead, ACaughtSignalLeavesTheKeyboardAttachedAndItsEventsArriving) {
    const char* socket = std::getenv("TAVRIK_RIG_SOCKET");
    ASSERT_NE(socket, nullptr) << "runs inside scripts/hidraw-rig.sh";
    struct sigaction action {};
    action.sa_handler = Caught;
    ASSERT_EQ(::sigaction(SIGUSR1, &action, nullptr), 0);

    test::NotificationLog events;
    std::string error;
    auto bridge = HidapiBridge::Start(MakeHidapiPlatform(&error), &error);
    ASSERT_TRUE(bridge) << error;
    ASSERT_EQ(Count(*bridge, kConsUnit), 1);
    events.Listen(*bridge, kConsUnit, UnitTag::Cons);

    for (int round = 0; round < 5; ++round) {
        SignalOtherThreads(SIGUSR1);
        ::usleep(20'000);
    }
    EXPECT_EQ(Count(*bridge, kConsUnit), 1);
    const std::string bank = std::string("tavrik-emu ctl ") + socket + " bank >/dev/null";
    ASSERT_EQ(std::system(bank.c_str()), 0);
    const auto seen = events.WaitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, kReport);
    EXPECT_EQ(seen[0].report, (std::vector<uint8_t>{0xFF, 0x02})); // the G-key bank code
}

} // namespace
} // namespace tavrik
