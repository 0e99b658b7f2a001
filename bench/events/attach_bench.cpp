// How long a newly attached keyboard takes to become usable in the desktop program: from the
// count notification to the end of the window's reload, on the emulated keyboard with a 1 ms USB
// report interval. That is the whole arrival: the presence monitor reads the default layout and
// the settings; the program's stack of core objects mirrors the keyboard into the store file (the
// active profile, the three key maps, the macro memory), loads the live profile from it and reads
// the lighting state with the per-key table; the window's part describes the key buttons and
// builds the profile menu. The keyboard holds the heaviest profile it can (every key assigned,
// the macro memory full), so the macro read is as long as it gets. The store folder is a private
// temporary one, as in a demo session.
//
// Printed against the floor the protocol allows: every exchange is one report out and one in, at
// least 2 ms at that interval. The keyboard also wants a 10 ms pause before every "end
// configuration" frame; the floor with those pauses is printed beside it.

#include "bench/events/desktop_reload_window.h"
#include "bench/support/full_profile.h"
#include "device/config_frame.h"
#include "device/forwarding_hid_bridge.h"
#include "session/session_documents.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace tavrik::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr std::chrono::microseconds kReportInterval{1000};
constexpr double kExchangeFloorMs = 2.0;
constexpr double kEndPauseMs = 10.0;
constexpr double kGoal = 1.15;
constexpr int kRuns = 5;

// Passes everything on to the keyboard and counts the configuration frames by kind.
class FrameCounter final : public ForwardingHidBridge {
public:
    using ForwardingHidBridge::ForwardingHidBridge;

    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) override {
        ++frames;
        if (report.size() > frame::kCommand && report[frame::kCommand] == command::kEnd)
            ++endFrames;
        return ForwardingHidBridge::RequestWriteOne(unit, report, check);
    }

    std::atomic<int> frames{0};
    std::atomic<int> endFrames{0};
};

struct Measurement {
    int frames = 0;
    int endFrames = 0;
    double ms = 0;
    size_t memoryBytes = 0;
    size_t macrosStored = 0;
    size_t macrosRead = 0;
    bool mirrored = false;

    // The reload read back every macro stored and the live profile mirrors the keyboard.
    bool Complete() const { return macrosStored > 0 && macrosRead == macrosStored && mirrored; }
    double FloorMs() const { return frames * kExchangeFloorMs; }
    double Ratio() const { return ms / FloorMs(); }
    double FloorWithPausesMs() const { return FloorMs() + endFrames * kEndPauseMs; }
    double RatioWithPauses() const { return ms / FloorWithPausesMs(); }
};

// Every key assigned and the macro memory full. Gives the number of macros stored, 0 when they
// did not fit.
size_t StoreHeavyProfile(EmulatedHidBridge& keyboard) {
    const std::vector<MacroRecord> macros = MacrosFilling(MacroMemoryBytes(keyboard));
    KeyFunctionLayers layers{};
    AssignEveryKey(layers, macros.size());
    return StoreOnKeyboard(keyboard, layers, macros) ? macros.size() : 0;
}

Measurement MeasureOneArrival() {
    EmulatedHidBridge keyboard({}, false);
    Measurement m;
    m.memoryBytes = MacroMemoryBytes(keyboard);
    m.macrosStored = StoreHeavyProfile(keyboard);
    keyboard.SetReportInterval(kReportInterval);

    const SessionDocuments documents(true);
    FrameCounter counter(keyboard);
    DesktopReloadWindow window;
    KeyboardStack stack(counter, window, window, StoragePathsIn(documents.Folder()), {});
    window.Attach(stack);
    stack.Start();
    stack.Link().Presence().WaitUntilHandled();

    const Clock::time_point attached = Clock::now();
    keyboard.Plug();
    keyboard.WaitDelivered();
    stack.Link().Presence().WaitUntilHandled();

    m.ms = Milliseconds(window.ReloadedAt() - attached).count();
    m.frames = counter.frames.load();
    m.endFrames = counter.endFrames.load();
    const LiveProfile::Lock lock = stack.Profile().LockProfile();
    m.macrosRead = window.Messages() == 0 ? stack.Profile().Macros().size() : 0;
    m.mirrored = stack.ProfileMirrorsKeyboard();
    return m;
}

void PrintRun(int run, const Measurement& m) {
    std::printf("run %d: %d frames (%d end), %.1f ms, floor %.1f ms, ratio %.3f; with end pauses "
                "%.1f ms, ratio %.3f\n",
                run, m.frames, m.endFrames, m.ms, m.FloorMs(), m.Ratio(), m.FloorWithPausesMs(),
                m.RatioWithPauses());
}

void PrintMedian(std::vector<Measurement> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Measurement& a, const Measurement& b) { return a.Ratio() < b.Ratio(); });
    const Measurement& m = runs[runs.size() / 2];
    std::printf("arrival to reloaded, every key assigned, %zu macros filling %zu bytes of macro "
                "memory (median of %zu):\n",
                m.macrosStored, m.memoryBytes, runs.size());
    std::printf("  duration %.1f ms, %d frames, floor %d x %.0f ms = %.1f ms, ratio %.3f "
                "(goal <= %.2f)\n",
                m.ms, m.frames, m.frames, kExchangeFloorMs, m.FloorMs(), m.Ratio(), kGoal);
    std::printf("  with the keyboard's %.0f ms pause before each of the %d end frames: floor "
                "%.1f ms, ratio %.3f\n",
                kEndPauseMs, m.endFrames, m.FloorWithPausesMs(), m.RatioWithPauses());
}

} // namespace
} // namespace tavrik::bench

int main() {
    using namespace tavrik::bench;
    std::vector<Measurement> runs;
    for (int run = 1; run <= kRuns; ++run) {
        const Measurement m = MeasureOneArrival();
        if (!m.Complete()) {
            std::fprintf(stderr,
                         "events_attach_bench: %zu macros stored, %zu read back, the live profile "
                         "%s the keyboard\n",
                         m.macrosStored, m.macrosRead, m.mirrored ? "mirrors" : "does not mirror");
            return 1;
        }
        PrintRun(run, m);
        runs.push_back(m);
    }
    PrintMedian(runs);
    return 0;
}
