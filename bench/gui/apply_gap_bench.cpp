// Whether the window stays responsive while Apply downloads a whole configuration of the heaviest
// profile the keyboard can hold: the real main window and keyboard editor on the offscreen
// platform, the emulated keyboard in this process at a 1 ms USB report interval, every key of the
// three hardware layers assigned and macros filling the keyboard's macro memory. Each run changes
// every key and every macro (two profiles taken in turn) and marks all profiles changed, as an edit
// that moves macros does, so Apply sends all three key maps and the macro image. A click on Apply
// posts the download to the keyboard worker; meanwhile the GUI thread's event loop is watched
// until the editor reports the end of the download. Printed: the download's duration and frames
// against the 2 ms floor of one exchange (goal: within 1.10), and the longest gap between two
// turns of the event loop against one frame of a 60 Hz screen (goal: no gap above 16 ms).

#include "app/main_controls.h"
#include "bench/gui/desktop_session.h"
#include "bench/gui/gui_thread_meter.h"
#include "bench/support/full_profile.h"
#include "session/session_documents.h"

#include <QApplication>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace tavrik::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr std::chrono::microseconds kReportInterval{1000};
constexpr double kExchangeFloorMs = 2.0;
constexpr double kFrameBudgetMs = 16.0;
constexpr std::chrono::seconds kDownloadLimit{30};
constexpr int kRuns = 5;
constexpr double kDownloadGoal = 1.10;

struct ApplyRun {
    double downloadMs = 0;
    int frames = 0;
    double longestGapMs = 0;
    int turns = 0;
    int paints = 0;

    double FloorMs() const { return frames * kExchangeFloorMs; }
    double GapRatio() const { return longestGapMs / kFrameBudgetMs; }
};

// The live profile filled from this thread while no keyboard job runs, the key buttons
// redescribed, every profile marked changed. Gives the number of macros.
size_t FillLiveProfile(DesktopSession& session, unsigned variant) {
    std::vector<MacroRecord> macros = MacrosFilling(MacroMemoryBytes(session.Keyboard()), variant);
    const size_t count = macros.size();
    LiveProfile& profile = session.Editor().Stack().Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    AssignEveryKey(profile.Record().layers, count, variant);
    profile.Macros() = std::move(macros);
    session.Editor().RefreshKeyDescriptions();
    session.Editor().MarkAllProfilesChanged();
    return count;
}

// Clicks Apply and runs the event loop until the editor says the download has ended.
std::optional<ApplyRun> MeasureApply(DesktopSession& session, GuiThreadMeter& meter) {
    session.Editor().EnableApply(true);
    CPngButton* apply = session.Window().Button(ID_APPLY);
    if (!session.Drain() || apply == nullptr || !apply->isEnabled())
        return std::nullopt;
    const int framesBefore = session.Keyboard().FramesReceived();
    std::optional<Clock::time_point> ended;
    QEventLoop loop;
    QObject::connect(&session.Editor(), &KeyboardEditor::busyChanged, &loop, [&](bool busy) {
        if (!busy) {
            ended = Clock::now();
            loop.quit();
        }
    });
    QTimer::singleShot(kDownloadLimit, &loop, &QEventLoop::quit);

    meter.Start();
    const Clock::time_point clicked = Clock::now();
    apply->click();
    loop.exec();
    meter.Stop();
    if (!ended || !session.Drain() || session.Editor().IsModified())
        return std::nullopt;
    return ApplyRun{Milliseconds(*ended - clicked).count(),
                    session.Keyboard().FramesReceived() - framesBefore, meter.LongestGap().count(),
                    meter.Turns(), meter.Paints()};
}

void PrintRun(int run, const ApplyRun& r) {
    std::printf("run %d: download %.1f ms, %d frames (floor %.1f ms, ratio %.3f), longest GUI gap "
                "%.1f ms (%.2f x 16 ms), %d loop turns, %d paint events\n",
                run, r.downloadMs, r.frames, r.FloorMs(), r.downloadMs / r.FloorMs(),
                r.longestGapMs, r.GapRatio(), r.turns, r.paints);
}

void PrintSummary(std::vector<ApplyRun> runs, size_t macros, size_t memoryBytes) {
    const double worstGap =
        std::max_element(runs.begin(), runs.end(), [](const ApplyRun& a, const ApplyRun& b) {
            return a.longestGapMs < b.longestGapMs;
        })->longestGapMs;
    std::sort(runs.begin(), runs.end(),
              [](const ApplyRun& a, const ApplyRun& b) { return a.downloadMs < b.downloadMs; });
    const ApplyRun& median = runs[runs.size() / 2];
    std::printf("Apply, every key assigned, %zu macros filling %zu bytes of macro memory, %zu "
                "runs:\n",
                macros, memoryBytes, runs.size());
    std::printf("  whole download (median) %.1f ms, %d frames, floor %d x %.0f ms = %.1f ms, "
                "ratio %.3f (goal <= %.2f)\n",
                median.downloadMs, median.frames, median.frames, kExchangeFloorMs, median.FloorMs(),
                median.downloadMs / median.FloorMs(), kDownloadGoal);
    std::printf("  longest GUI thread gap (worst run) %.1f ms, ratio %.2f to %.0f ms (goal: no gap "
                "above 16 ms, ratio <= 1.00)\n",
                worstGap, worstGap / kFrameBudgetMs, kFrameBudgetMs);
    const bool met =
        worstGap <= kFrameBudgetMs && median.downloadMs / median.FloorMs() <= kDownloadGoal;
    std::printf("  goals %s\n", met ? "met" : "NOT met");
}

int Run(const std::filesystem::path& documents) {
    DesktopSession session(documents, kReportInterval);
    if (!session.WaitForKeyboard()) {
        std::fprintf(stderr, "gui_apply_gap_bench: the emulated keyboard was not read\n");
        return 1;
    }
    // The keyboard first holds the first profile; every measured run then replaces all of it.
    size_t macros = FillLiveProfile(session, 0);
    session.Window().Open();
    if (!session.Window().isVisible()) {
        std::fprintf(stderr, "gui_apply_gap_bench: the main window did not open\n");
        return 1;
    }
    GuiThreadMeter meter(session.Window());
    if (!MeasureApply(session, meter)) {
        std::fprintf(stderr, "gui_apply_gap_bench: the first Apply did not finish cleanly\n");
        return 1;
    }
    std::vector<ApplyRun> runs;
    for (int run = 1; run <= kRuns; ++run) {
        macros = FillLiveProfile(session, static_cast<unsigned>(run % 2));
        const std::optional<ApplyRun> measured = MeasureApply(session, meter);
        if (!measured || session.UserDialogs() > 0) {
            std::fprintf(stderr, "gui_apply_gap_bench: Apply did not finish cleanly\n");
            return 1;
        }
        PrintRun(run, *measured);
        runs.push_back(*measured);
    }
    PrintSummary(runs, macros, MacroMemoryBytes(session.Keyboard()));
    return 0;
}

} // namespace
} // namespace tavrik::bench

int main(int argc, char** argv) {
    const tavrik::SessionDocuments documents(true);
    if (documents.Folder().empty())
        return 1;
    tavrik::bench::UsePrivateDesktop(documents.Folder());
    QApplication application(argc, argv);
    return tavrik::bench::Run(documents.Folder());
}
