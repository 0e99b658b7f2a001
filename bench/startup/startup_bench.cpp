// What the desktop program costs while it waits in the tray, next to a plain Qt tray program:
// the time from process start until its icon is docked in the tray host, and its resident
// memory 3 s later; then, for the desktop program, the time from a second start's Open until
// its main window is shown, and its memory with the window open.
//
// "Docked" is read from the X window tree, not from the program: a window of the started
// process sits inside the tray host's window (XEmbed reparents the icon there). Needs a running
// X server with a tray host (run_startup_bench.sh starts Xvfb and trayer).
//   startup_bench TAVRIK PLAIN_TRAY ICON_FOLDER [RUNS]

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(1);
constexpr auto kGiveUpAfter = std::chrono::seconds(20);
constexpr auto kSettleTime = std::chrono::seconds(3);
constexpr double kGoalRatio = 1.3;
constexpr double kGoalOpenMegabytes = 45.0;

struct Memory {
    double residentMb = 0;
    double anonymousMb = 0;
};

// Windows come and go while the tree is walked: a request about one that is gone is no error.
int IgnoreGoneWindows(::Display*, XErrorEvent*) {
    return 0;
}

class XDisplay {
public:
    XDisplay()
        : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) {
            std::fprintf(stderr, "startup_bench: no X display (run run_startup_bench.sh)\n");
            std::exit(2);
        }
        pidAtom_ = XInternAtom(display_, "_NET_WM_PID", False);
        XSetErrorHandler(IgnoreGoneWindows);
    }
    ~XDisplay() { XCloseDisplay(display_); }

    std::optional<pid_t> WindowPid(Window window) const {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window, pidAtom_, 0, 1, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) != Success ||
            data == nullptr)
            return std::nullopt;
        std::optional<pid_t> pid;
        if (items == 1 && format == 32)
            pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
        return pid;
    }

    bool HasClass(Window window, const char* className) const {
        XClassHint hint{};
        if (XGetClassHint(display_, window, &hint) == 0)
            return false;
        const bool match = hint.res_class != nullptr && std::string(hint.res_class) == className;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return match;
    }

    std::vector<Window> Children(Window window) const {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;
        if (XQueryTree(display_, window, &root, &parent, &children, &count) != 0 &&
            children != nullptr) {
            result.assign(children, children + count);
            XFree(children);
        }
        return result;
    }

    // Some window below `top` (at any depth) passes the test.
    bool AnyBelow(Window top, const std::function<bool(Window)>& test) const {
        for (const Window child : Children(top)) {
            if (test(child) || AnyBelow(child, test))
                return true;
        }
        return false;
    }

    std::vector<Window> TopLevels() const { return Children(DefaultRootWindow(display_)); }

    bool Viewable(Window window) const {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display_, window, &attributes) != 0 &&
               attributes.map_state == IsViewable && attributes.width > 100;
    }

    void Sync() const { XSync(display_, False); }

private:
    ::Display* display_;
    Atom pidAtom_;
};

// A private home, runtime folder and configuration for each run, so no run sees another's
// instance, settings or store folder.
class PrivateEnvironment {
public:
    PrivateEnvironment() {
        char pattern[] = "/tmp/tavrik-startup.XXXXXX";
        folder_ = mkdtemp(pattern);
        for (const char* sub : {"home", "config", "run", "tmp"})
            std::filesystem::create_directories(folder_ / sub);
        std::filesystem::permissions(folder_ / "run", std::filesystem::perms::owner_all);
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string variable = *entry;
            if (variable.rfind("HOME=", 0) != 0 && variable.rfind("XDG_", 0) != 0 &&
                variable.rfind("TMPDIR=", 0) != 0 && variable.rfind("DBUS_", 0) != 0)
                variables_.push_back(variable);
        }
        variables_.push_back("HOME=" + (folder_ / "home").string());
        variables_.push_back("XDG_CONFIG_HOME=" + (folder_ / "config").string());
        variables_.push_back("XDG_RUNTIME_DIR=" + (folder_ / "run").string());
        variables_.push_back("TMPDIR=" + (folder_ / "tmp").string());
        variables_.push_back("QT_QPA_PLATFORM=xcb");
    }
    ~PrivateEnvironment() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    pid_t Start(const std::vector<std::string>& arguments) const {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const std::string& variable : variables_)
            envp.push_back(const_cast<char*>(variable.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            std::fprintf(stderr, "startup_bench: cannot start %s\n", argv[0]);
            std::exit(2);
        }
        return pid;
    }

private:
    std::filesystem::path folder_;
    std::vector<std::string> variables_;
};

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Polls until the test passes; the time it took, or nothing after kGiveUpAfter.
std::optional<double> TimeUntil(Clock::time_point start, const std::function<bool()>& test) {
    while (Clock::now() - start < kGiveUpAfter) {
        if (test())
            return Milliseconds(Clock::now() - start);
        std::this_thread::sleep_for(kPollInterval);
    }
    return std::nullopt;
}

bool Docked(const XDisplay& x, pid_t pid) {
    x.Sync();
    for (const Window top : x.TopLevels()) {
        if (x.HasClass(top, "trayer") &&
            x.AnyBelow(top, [&x, pid](Window window) { return x.WindowPid(window) == pid; }))
            return true;
    }
    return false;
}

bool WindowShown(const XDisplay& x, pid_t pid) {
    x.Sync();
    for (const Window top : x.TopLevels()) {
        if (x.WindowPid(top) == pid && x.Viewable(top))
            return true;
    }
    return false;
}

Memory MemoryOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    Memory memory;
    std::string key;
    double kilobytes = 0;
    std::string unit;
    while (status >> key) {
        if (key == "VmRSS:" && status >> kilobytes >> unit)
            memory.residentMb = kilobytes / 1024;
        else if (key == "RssAnon:" && status >> kilobytes >> unit)
            memory.anonymousMb = kilobytes / 1024;
    }
    return memory;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int tries = 0; tries < 200; ++tries) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

struct Run {
    double dockedMs = 0;
    Memory hidden;
    double openMs = 0;
    Memory open;
};

std::optional<Run> Measure(const XDisplay& x, const std::vector<std::string>& command,
                           bool openWindow) {
    const PrivateEnvironment environment;
    const Clock::time_point start = Clock::now();
    const pid_t pid = environment.Start(command);
    Run run;
    const std::optional<double> docked = TimeUntil(start, [&] { return Docked(x, pid); });
    if (!docked) {
        Stop(pid);
        return std::nullopt;
    }
    run.dockedMs = *docked;
    std::this_thread::sleep_for(kSettleTime);
    run.hidden = MemoryOf(pid);
    if (openWindow) {
        // A second start hands "Open" over to the first and ends.
        const Clock::time_point open = Clock::now();
        const pid_t second = environment.Start(command);
        const std::optional<double> shown = TimeUntil(open, [&] { return WindowShown(x, pid); });
        waitpid(second, nullptr, 0);
        run.openMs = shown.value_or(-1);
        std::this_thread::sleep_for(kSettleTime);
        run.open = MemoryOf(pid);
    }
    Stop(pid);
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

template <typename Field>
double MedianOf(const std::vector<Run>& runs, Field field) {
    std::vector<double> values;
    for (const Run& run : runs)
        values.push_back(field(run));
    return Median(values);
}

void PrintRatio(const char* what, double plain, double program, const char* unit) {
    std::printf("%-28s plain %7.1f %s   tavrik %7.1f %s   ratio %.2f (goal <= %.2f)\n", what, plain,
                unit, program, unit, program / plain, kGoalRatio);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench TAVRIK PLAIN_TRAY ICON_FOLDER [RUNS]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    const std::vector<std::string> program = {argv[1], "--device", "demo"};
    const std::vector<std::string> plain = {argv[2], argv[3]};
    const XDisplay x;
    std::vector<Run> programRuns;
    std::vector<Run> plainRuns;
    for (int run = 0; run < runs; ++run) {
        const std::optional<Run> yardstick = Measure(x, plain, false);
        const std::optional<Run> measured = Measure(x, program, true);
        if (!yardstick || !measured) {
            std::fprintf(stderr, "startup_bench: a tray icon was never docked (is a tray host "
                                 "running?)\n");
            return 1;
        }
        plainRuns.push_back(*yardstick);
        programRuns.push_back(*measured);
    }
    std::printf("medians of %d alternating runs, hidden in the tray:\n", runs);
    PrintRatio("docked in the tray", MedianOf(plainRuns, [](const Run& r) { return r.dockedMs; }),
               MedianOf(programRuns, [](const Run& r) { return r.dockedMs; }), "ms");
    PrintRatio("resident memory",
               MedianOf(plainRuns, [](const Run& r) { return r.hidden.residentMb; }),
               MedianOf(programRuns, [](const Run& r) { return r.hidden.residentMb; }), "MB");
    std::printf("%-28s plain %7.1f MB   tavrik %7.1f MB\n", "  of which anonymous",
                MedianOf(plainRuns, [](const Run& r) { return r.hidden.anonymousMb; }),
                MedianOf(programRuns, [](const Run& r) { return r.hidden.anonymousMb; }));
    std::printf("with the main window open:\n");
    std::printf("%-28s %7.1f MB (goal < %.0f MB), anonymous %.1f MB\n", "  resident memory",
                MedianOf(programRuns, [](const Run& r) { return r.open.residentMb; }),
                kGoalOpenMegabytes,
                MedianOf(programRuns, [](const Run& r) { return r.open.anonymousMb; }));
    std::printf("%-28s %7.1f ms\n", "  Open to window shown",
                MedianOf(programRuns, [](const Run& r) { return r.openMs; }));
    return 0;
}
