#include "bench/gui/desktop_session.h"

#include "device/forwarding_hid_bridge.h"
#include "profile/storage_paths.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <cstdlib>
#include <memory>

namespace tavrik::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kSetUpLimit{10};
constexpr int kPollIntervalMs = 5;

AppPaths BuildAppPaths() {
    return AppPathsFromExecutable(std::filesystem::path(TAVRIK_BIN_DIR) / "tavrik");
}

} // namespace

DesktopSession::DesktopSession(const std::filesystem::path& documents,
                               std::chrono::microseconds reportInterval)
    : editor_(std::make_unique<ForwardingHidBridge>(keyboard_), StoragePathsIn(documents),
              LightingPreferencesSource{},
              KeyboardEditor::UserDialogs{[this](const QString&) { ++userDialogs_; },
                                          [this](const QString&) {
                                              ++userDialogs_;
                                              return false;
                                          }})
    , window_(state_, BuildAppPaths(), server_, editor_,
              SettingsFile(SettingsFilePath(documents))) {
    keyboard_.SetReportInterval(reportInterval);
    window_.InitDialog();
    editor_.Start();
}

bool DesktopSession::WaitForKeyboard() {
    return RunEventLoopUntil(
               [this] { return window_.IsReady() && editor_.KeyboardCount() == 1; }) &&
           Drain();
}

bool DesktopSession::Drain() {
    auto done = std::make_shared<std::atomic<bool>>(false);
    editor_.PostAfterQueuedJobs([done] { *done = true; });
    const bool drained = RunEventLoopUntil([done] { return done->load(); });
    QCoreApplication::processEvents();
    return drained;
}

void UsePrivateDesktop(const std::filesystem::path& documents) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("XDG_CONFIG_HOME", (documents / "config").c_str(), 1);
}

bool RunEventLoopUntil(const std::function<bool()>& done) {
    const Clock::time_point deadline = Clock::now() + kSetUpLimit;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || Clock::now() > deadline)
            loop.quit();
    });
    poll.start(kPollIntervalMs);
    if (!done())
        loop.exec();
    return done();
}

} // namespace tavrik::bench
