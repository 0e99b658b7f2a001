// The program starts hidden in the tray and decodes its window's pictures only when the window
// is first shown. What the keyboard reported meanwhile (assigned keys, the lighting) must show
// all the same: the window opened after a start in the tray looks exactly, pixel for pixel, as
// one built at once.

#include "gui/lighting_panel.h"
#include "lighting/lighting_params.h"
#include "main_window_rig.h"

#include <QImage>
#include <QMessageBox>
#include <QTest>

#include <condition_variable>
#include <mutex>

namespace tavrik {
namespace {

constexpr KeyPosition kAPosition = 19;
constexpr uint8_t kUsageB = 0x05;
constexpr size_t kKeyMapEntrySize = 3;

// A keyboard whose A types B and which runs the per-key effect with A dark, read at its
// attach by a program whose lighting edit mode is on.
bool PrepareAndReattach(test::MainWindowRig& rig) {
    if (!rig.WaitForAttach() || !rig.Settings().SetLightingEditMode(true))
        return false;
    rig.Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        auto& memory = firmware.Memory();
        memory.keyMaps[0][kAPosition * kKeyMapEntrySize + 2] = kUsageB;
        memory.lighting[lighting_byte::kEffect] = kPerKeyEffect;
        memory.colours.fill(kKeyLitByTool);
        memory.colours[kAPosition * 3] = kKeyDark;
    });
    rig.Keyboard().Unplug();
    if (!QTest::qWaitFor([&rig] { return rig.Editor().KeyboardCount() == 0; }))
        return false;
    rig.Keyboard().Plug();
    return rig.WaitForAttach();
}

QImage OpenedWindow(test::MainWindowRig& rig) {
    rig.Window().Open();
    if (!QTest::qWaitForWindowExposed(&rig.Window()))
        return {};
    QCoreApplication::processEvents();
    return rig.Window().grab().toImage();
}

} // namespace

class WindowStartTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowOpenedAfterAStartInTheTrayLooksAsOneBuiltAtOnce();
    void openWhileTheKeyboardIsReadShowsTheWindowOnceItHasBeen();
};

void WindowStartTest::theWindowOpenedAfterAStartInTheTrayLooksAsOneBuiltAtOnce() {
    QImage builtAtOnce;
    {
        test::MainWindowRig rig(test::MainWindowRig::Start::Initialised);
        QVERIFY(PrepareAndReattach(rig));
        builtAtOnce = OpenedWindow(rig);
    }
    test::MainWindowRig rig(test::MainWindowRig::Start::InTray);
    QVERIFY(PrepareAndReattach(rig));
    QVERIFY(rig.Window().IsReady());
    QVERIFY(!rig.Window().IsInitialised()); // nothing decoded while hidden
    const QImage opened = OpenedWindow(rig);
    QVERIFY(rig.Window().IsInitialised());
    QVERIFY(!builtAtOnce.isNull());
    QCOMPARE(opened.size(), builtAtOnce.size());
    QVERIFY(opened == builtAtOnce);
    // The keyboard's state did reach the window: the per-key look tints A black.
    QVERIFY(rig.Window().Lighting().EditMode());
    QCOMPARE(rig.Window().Button(1058)->Tint(), QColor(Qt::black));
}

void WindowStartTest::openWhileTheKeyboardIsReadShowsTheWindowOnceItHasBeen() {
    // The keyboard holds its first answer until the window has been asked to open.
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    auto rig = std::make_unique<test::MainWindowRig>(
        test::MainWindowRig::Start::InTray, [&](test::HookedKeyboard& keyboard) {
            keyboard.BeforeFrame([&](const ConfigFrame&, EmulatedHidBridge&) {
                std::unique_lock lock(mutex);
                released.wait(lock, [&release] { return release; });
            });
        });
    QTRY_VERIFY(rig->Window().IsReady());
    QCOMPARE(rig->Editor().KeyboardCount(), 0);
    QVERIFY(rig->Editor().KeyboardArriving());
    rig->Window().Open();
    QTest::qWait(100);
    QVERIFY(rig->Window().NoKeyboardMessage() == nullptr); // not "no keyboard": one is arriving
    QVERIFY(rig->Window().isHidden());
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    QTRY_VERIFY(rig->Window().isVisible());
    QVERIFY(rig->Window().NoKeyboardMessage() == nullptr);
    QCOMPARE(rig->Editor().KeyboardCount(), 1);
}

} // namespace tavrik

QTEST_MAIN(tavrik::WindowStartTest)
#include "tst_window_start.moc"
