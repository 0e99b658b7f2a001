// Whether the desktop program keeps memory it no longer needs when a keyboard comes and goes: the
// real main window and keyboard editor on the offscreen platform (Xvfb when QT_QPA_PLATFORM says
// xcb), the emulated keyboard in this process holding the heaviest profile (every key assigned,
// the macro memory full). One cycle: the keyboard is plugged in and read as on arrival, the main
// window is opened and closed, the keyboard is unplugged. After warm-up cycles (caches, fonts,
// the window's pictures decoded once), the resident memory is sampled every 100 cycles; printed
// are the samples, the growth per 100 cycles fitted over them, and the scatter of the samples
// around that line, which is the noise the growth is judged against (goal: growth per 100 cycles
// within it). The keyboard's USB timing is off: the time a cycle takes does not matter here.
//   gui_replug_memory_bench [CYCLES]   (1000 unless given; a multiple of 100)

#include "bench/gui/desktop_session.h"
#include "bench/support/full_profile.h"
#include "session/session_documents.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace tavrik::bench {
namespace {

constexpr int kWarmUpCycles = 100;
constexpr int kSampleEvery = 100;
constexpr int kDefaultCycles = 1000;

struct Resident {
    double totalKiB = 0;     // VmRSS
    double anonymousKiB = 0; // RssAnon: the heap, where a leak shows
};

Resident ResidentMemory() {
    std::ifstream status("/proc/self/status");
    Resident resident;
    std::string key;
    double kilobytes = 0;
    std::string unit;
    while (status >> key) {
        if (key == "VmRSS:" && status >> kilobytes >> unit)
            resident.totalKiB = kilobytes;
        else if (key == "RssAnon:" && status >> kilobytes >> unit)
            resident.anonymousKiB = kilobytes;
    }
    return resident;
}

// One unplug/plug cycle with the window opened and closed; false when a step does not happen.
bool Cycle(DesktopSession& session) {
    EmulatedHidBridge& keyboard = session.Keyboard();
    KeyboardEditor& editor = session.Editor();
    CTavrikDlg& window = session.Window();
    keyboard.Plug();
    if (!RunEventLoopUntil([&] { return editor.KeyboardCount() == 1; }) || !session.Drain())
        return false;
    window.Open();
    if (!RunEventLoopUntil([&] { return window.isVisible(); }))
        return false;
    window.close();
    if (!RunEventLoopUntil([&] { return !window.isVisible(); }))
        return false;
    keyboard.Unplug();
    return RunEventLoopUntil([&] { return editor.KeyboardCount() == 0; }) && session.Drain();
}

struct Fit {
    double slope = 0;   // per sample interval
    double scatter = 0; // largest distance of a sample from the line
};

Fit FitLine(const std::vector<double>& samples) {
    const auto n = static_cast<double>(samples.size());
    double sumX = 0, sumY = 0, sumXX = 0, sumXY = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const auto x = static_cast<double>(i);
        sumX += x;
        sumY += samples[i];
        sumXX += x * x;
        sumXY += x * samples[i];
    }
    Fit fit;
    fit.slope = (n * sumXY - sumX * sumY) / (n * sumXX - sumX * sumX);
    const double intercept = (sumY - fit.slope * sumX) / n;
    for (size_t i = 0; i < samples.size(); ++i)
        fit.scatter = std::max(
            fit.scatter, std::abs(samples[i] - (intercept + fit.slope * static_cast<double>(i))));
    return fit;
}

int Run(const std::filesystem::path& documents, int cycles) {
    DesktopSession session(documents, std::chrono::microseconds{0});
    if (!session.WaitForKeyboard()) {
        std::fprintf(stderr, "gui_replug_memory_bench: the emulated keyboard was not read\n");
        return 1;
    }
    EmulatedHidBridge& keyboard = session.Keyboard();
    const std::vector<MacroRecord> macros = MacrosFilling(MacroMemoryBytes(keyboard));
    KeyFunctionLayers layers{};
    AssignEveryKey(layers, macros.size());
    keyboard.Unplug();
    if (!StoreOnKeyboard(keyboard, layers, macros) ||
        !RunEventLoopUntil([&] { return session.Editor().KeyboardCount() == 0; })) {
        std::fprintf(stderr, "gui_replug_memory_bench: the keyboard could not be prepared\n");
        return 1;
    }
    for (int cycle = 0; cycle < kWarmUpCycles; ++cycle)
        if (!Cycle(session)) {
            std::fprintf(stderr, "gui_replug_memory_bench: warm-up cycle %d did not finish\n",
                         cycle);
            return 1;
        }
    std::printf("gui_replug_memory_bench: %d unplug/plug cycles with the window opened and "
                "closed, %zu macros on the keyboard, after %d warm-up cycles\n",
                cycles, macros.size(), kWarmUpCycles);
    std::vector<double> total{ResidentMemory().totalKiB};
    std::vector<double> anonymous{ResidentMemory().anonymousKiB};
    std::printf("  after %4d cycles: resident %.0f KiB, anonymous %.0f KiB\n", 0, total.back(),
                anonymous.back());
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        if (!Cycle(session)) {
            std::fprintf(stderr, "gui_replug_memory_bench: cycle %d did not finish\n", cycle);
            return 1;
        }
        if (cycle % kSampleEvery == 0) {
            const Resident resident = ResidentMemory();
            total.push_back(resident.totalKiB);
            anonymous.push_back(resident.anonymousKiB);
            std::printf("  after %4d cycles: resident %.0f KiB, anonymous %.0f KiB\n", cycle,
                        resident.totalKiB, resident.anonymousKiB);
        }
    }
    const Fit totalFit = FitLine(total);
    const Fit anonymousFit = FitLine(anonymous);
    std::printf("  growth per %d cycles: resident %+.1f KiB (scatter %.1f KiB), anonymous %+.1f "
                "KiB (scatter %.1f KiB); over all %d cycles: resident %+.0f KiB\n",
                kSampleEvery, totalFit.slope, totalFit.scatter, anonymousFit.slope,
                anonymousFit.scatter, cycles, total.back() - total.front());
    const bool met =
        totalFit.slope <= totalFit.scatter && anonymousFit.slope <= anonymousFit.scatter;
    std::printf("  goal (growth per %d cycles within the scatter): %s; questions or messages "
                "shown: %d\n",
                kSampleEvery, met ? "met" : "NOT met", session.UserDialogs());
    return 0;
}

} // namespace
} // namespace tavrik::bench

int main(int argc, char** argv) {
    const tavrik::SessionDocuments documents(true);
    if (documents.Folder().empty())
        return 1;
    tavrik::bench::UsePrivateDesktop(documents.Folder());
    int cycles = tavrik::bench::kDefaultCycles;
    if (argc > 1)
        cycles = std::atoi(argv[1]);
    if (cycles < tavrik::bench::kSampleEvery || cycles % tavrik::bench::kSampleEvery != 0) {
        std::fprintf(stderr, "usage: gui_replug_memory_bench [CYCLES, a multiple of 100]\n");
        return 2;
    }
    QApplication application(argc, argv);
    return tavrik::bench::Run(documents.Folder(), cycles);
}
