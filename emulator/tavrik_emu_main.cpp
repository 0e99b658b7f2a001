// tavrik-emu: one emulated keyboard served on a UNIX socket, and the control form that drives it.

#include "emulator/control_commands.h"
#include "emulator/emulated_hid_bridge.h"
#include "emulator/emulator_server.h"
#include "emulator/serve_options.h"
#include "emulator/socket_hid_bridge.h"
#include "emulator/state_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace {

using namespace tavrik;
using namespace tavrik::emu;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

#ifndef TAVRIK_VERSION
#define TAVRIK_VERSION "unknown"
#endif

constexpr std::string_view kServeUsage =
    "usage: tavrik-emu serve SOCKET [--capacity-units N] [--effects 1,2,...] [--profile N]\n"
    "                        [--report-interval-ms X] [--state FILE] [--unplugged]\n";

constexpr std::string_view kControlUsage =
    "       tavrik-emu ctl SOCKET plug | unplug | quit\n"
    "       tavrik-emu ctl SOCKET press POS | release POS | tap POS | typed\n"
    "       tavrik-emu ctl SOCKET bank | lighting-changed\n"
    "       tavrik-emu ctl SOCKET fault none | silent N | echo N | refuse-fe N | refuse-ff N |\n"
    "                                   unplug-after N | flip-keymap|flip-macro|flip-colours ADDR\n"
    "       tavrik-emu ctl SOCKET dump settings | lighting | keymap0 | keymap1 | keymap2 |\n"
    "                                  default | macro | colours\n"
    "       tavrik-emu ctl SOCKET save FILE | load FILE\n"
    "       tavrik-emu --help | --version\n";

constexpr std::string_view kServeHelp =
    "\n"
    "Serves one emulated VOLTRI VX60 keyboard on the UNIX socket SOCKET until SIGINT or SIGTERM\n"
    "or `tavrik-emu ctl SOCKET quit`. Prints \"ready on SOCKET\" once programs may connect.\n"
    "  --capacity-units N      macro memory in units of 128 bytes, 1 to 255 (default 32)\n"
    "  --effects 1,2,...       the lighting effects offered, each 1 to 10, at most 14\n"
    "                          (default 1 to 10)\n"
    "  --profile N             the active hardware profile, 0 to 2 (default 0)\n"
    "  --report-interval-ms X  USB timing: one report every X ms, 0 to 1000 (default 0, none)\n"
    "  --state FILE            the keyboard's memory: loaded from FILE when it exists, saved\n"
    "                          there when the server ends\n"
    "  --unplugged             the keyboard starts unplugged (`ctl SOCKET plug` attaches it)\n";

std::string Usage() {
    return std::string(kServeUsage) + std::string(kControlUsage);
}

// Lock-free, so the signal handler may read it.
std::atomic<EmulatorServer*> g_server{nullptr};

void StopServer(int) {
    if (EmulatorServer* server = g_server.load())
        server->Stop();
}

void InstallSignalHandlers() {
    struct sigaction stop {};
    stop.sa_handler = StopServer;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int Complain(const std::string& message, int code = kExitError) {
    std::fprintf(stderr, "tavrik-emu: %s\n", message.c_str());
    return code;
}

// A state file that does not exist yet is written when the server ends; whatever else bears the
// name must load (a folder, a pipe or an unreadable file is an error, not a fresh keyboard).
bool StateFileNamed(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 || errno != ENOENT;
}

int Serve(const std::vector<std::string>& args) {
    std::string error;
    const auto options = ParseServeOptions(args, &error);
    if (!options)
        return Complain(error + "\n" + std::string(kServeUsage), kExitUsage);
    if (options->help) {
        std::fputs(std::string(kServeUsage).append(kServeHelp).c_str(), stdout);
        return 0;
    }
    if (const std::string problem = ConfigProblem(options->config); !problem.empty())
        return Complain(problem, kExitUsage);
    EmulatedHidBridge bridge(options->config, options->plugged);
    bridge.SetReportInterval(options->reportInterval);
    if (!options->stateFile.empty() && StateFileNamed(options->stateFile)) {
        auto memory = LoadStateFile(options->stateFile, &error);
        if (!memory)
            return Complain(error);
        bridge.WithFirmware([&memory](KeyboardFirmware& f) { f.LoadMemory(std::move(*memory)); });
    }
    ControlCommands control(bridge);
    int status = 0;
    {
        EmulatorServer server(bridge, [&control](const std::vector<std::string>& command) {
            return control.Run(command);
        });
        if (!server.Listen(options->socketPath, &error))
            return Complain(error);
        g_server = &server;
        InstallSignalHandlers();
        // Scripts and people starting the server wait for this line before they connect.
        std::printf("ready on %s\n", options->socketPath.c_str());
        std::fflush(stdout);
        server.Run();
        g_server = nullptr;
    }
    if (!options->stateFile.empty()) {
        const KeyboardMemory memory =
            bridge.WithFirmware([](KeyboardFirmware& f) { return f.Memory(); });
        if (!SaveStateFile(options->stateFile, memory, &error))
            status = Complain(error);
    }
    return status;
}

// The server may run in another folder: file names travel as absolute paths.
std::vector<std::string> WithAbsoluteFile(std::vector<std::string> command) {
    if (command.size() == 2 && (command[0] == "save" || command[0] == "load"))
        command[1] = std::filesystem::absolute(command[1]).string();
    return command;
}

int Control(const std::vector<std::string>& args) {
    if (args.size() < 2)
        return Complain("ctl needs a socket and a command\n" + Usage(), kExitUsage);
    std::string error;
    const auto bridge = SocketHidBridge::Connect(args[0], &error);
    if (!bridge)
        return Complain(error);
    const auto reply = bridge->Control(WithAbsoluteFile({args.begin() + 1, args.end()}));
    if (!reply)
        return Complain("the emulator did not answer");
    if (!reply->ok)
        return Complain(reply->text);
    std::fputs(reply->text.c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(Usage().c_str(), args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : 0;
    }
    if (args[0] == "--version") {
        std::printf("tavrik-emu %s\n", TAVRIK_VERSION);
        return 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "serve")
        return Serve(rest);
    if (args[0] == "ctl")
        return Control(rest);
    return Complain("unknown mode: " + args[0] + "\n" + Usage(), kExitUsage);
}
