// The lighting and report-rate panel in the main window on the real drawn skin, against the
// emulated keyboard in this process. What the keyboard holds is read from its memory.

#include "gui/assignment_dialog.h"
#include "gui/lighting_panel.h"
#include "keys/key_table.h"
#include "lighting/lighting_params.h"
#include "main_window_rig.h"
#include "skin/skin_rect.h"
#include "widgets/picture_choice.h"
#include "widgets/picture_slider.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>
#include <utility>

Q_DECLARE_METATYPE(std::set<int>)

namespace tavrik {
namespace {

constexpr int kEditMode = 1167;
constexpr int kLightTool = 1164;
constexpr int kDarkenTool = 1165;
constexpr int kAllDark = 1198;
constexpr int kAllLit = 1200;
constexpr int kReportRate3 = 1169;
constexpr int kKeyA = 1058;
constexpr int kFn = 1174;
constexpr KeyPosition kFnPosition = 53;
constexpr uint8_t kWriteCommand = 6;
constexpr uint8_t kColourWriteCommand = 17;

// Every control of the panel the visibility rules cover, by group.
const std::set<int> kAlways = {1167, 1171};
const std::set<int> kList = {1146};
const std::set<int> kBrightness = {1172, 1178};
const std::set<int> kSpeed = {1166, 1179};
const std::set<int> kDirection = {1148, 1149, 1150};
const std::set<int> kTriggerMode = {1193, 1194, 1195, 1196};
const std::set<int> kBreathing = {1189, 1190, 1191, 1192};
const std::set<int> kKeyTrigger = {1180, 1181, 1182, 1183, 1184, 1185, 1186, 1187, 1188};
const std::set<int> kKeyPaint = {1163, 1164, 1165, 1198, 1199, 1200, 1201};

std::set<int> Union(std::initializer_list<std::set<int>> groups) {
    std::set<int> all;
    for (const std::set<int>& group : groups)
        all.insert(group.begin(), group.end());
    return all;
}

int ButtonNamed(const CTavrikDlg& window, const QString& name) {
    for (const KeyButton& key : KeyButtons()) {
        if (window.Button(key.controlId)->accessibleName() == name)
            return key.controlId;
    }
    return 0;
}

} // namespace

class LightingPanelTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void eachEffectShowsItsControls_data();
    void eachEffectShowsItsControls();
    void theModeOffShowsOnlyTheSwitch();
    void speedSliderWritesTheReverseAndReadsBack();
    void reportRateIsStoredAndNeverSent();
    void theModeIsRefusedWhileTheAssignmentDialogIsOpen();
    void paintingKeysInThePerKeyEffect();
    void allLitAndAllDark();
    void aDraggedSliderSendsOneWriteAtATimeAndTheLastPosition();
    void aFailedChangeIsToldOnceAndThePanelShowsTheKeyboard_data();
    void aFailedChangeIsToldOnceAndThePanelShowsTheKeyboard();
    void aDragIsToldOnceAtItsRelease_data();
    void aDragIsToldOnceAtItsRelease();

private:
    void SetKeyboardEffect(uint8_t effect);
    void Reread();
    void TurnModeOn();
    void ChooseEffect(int effect);
    void Click(QWidget* widget);
    int ConfigurationFrames();
    LightingPanel& Panel() { return m_rig->Window().Lighting(); }
    EmulatedHidBridge& Keyboard() { return m_rig->Keyboard(); }
    std::array<uint8_t, 3> KeyColour(KeyPosition position);
    // Empty when the panel shows what the keyboard holds, else what differs.
    QString PanelDiffersFromTheKeyboard();

    std::unique_ptr<test::MainWindowRig> m_rig;
};

void LightingPanelTest::init() {
    m_rig = std::make_unique<test::MainWindowRig>();
    QVERIFY(m_rig->WaitForAttach());
}

void LightingPanelTest::cleanup() {
    m_rig.reset();
}

void LightingPanelTest::SetKeyboardEffect(uint8_t effect) {
    Keyboard().WithFirmware([effect](emu::KeyboardFirmware& firmware) {
        firmware.Memory().lighting[lighting_byte::kEffect] = effect;
    });
}

void LightingPanelTest::Reread() {
    m_rig->Editor().PostLightingReread();
    QVERIFY(m_rig->Drain());
}

void LightingPanelTest::TurnModeOn() {
    Click(Panel().Widget(kEditMode));
    QVERIFY(m_rig->Drain());
    QTRY_VERIFY(Panel().EditMode());
}

void LightingPanelTest::ChooseEffect(int effect) {
    Panel().EffectList().setCurrentIndex(Panel().State().effects.IndexOf(effect));
    QVERIFY(m_rig->Drain());
}

void LightingPanelTest::Click(QWidget* widget) {
    QVERIFY(widget != nullptr);
    QTest::mouseClick(widget, Qt::LeftButton);
}

int LightingPanelTest::ConfigurationFrames() {
    int frames = 0;
    for (int command = 0; command < 256; ++command)
        frames += m_rig->Transport().FramesOf(static_cast<uint8_t>(command));
    return frames;
}

std::array<uint8_t, 3> LightingPanelTest::KeyColour(KeyPosition position) {
    return Keyboard().WithFirmware([position](emu::KeyboardFirmware& firmware) {
        const auto& colours = firmware.Memory().colours;
        const size_t at = static_cast<size_t>(position) * 3;
        return std::array<uint8_t, 3>{colours[at], colours[at + 1], colours[at + 2]};
    });
}

QString LightingPanelTest::PanelDiffersFromTheKeyboard() {
    const auto [held, colours] = Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        return std::pair(firmware.Memory().lighting, firmware.Memory().colours);
    });
    const LightingState& shown = Panel().State();
    QStringList differs;
    const auto expect = [&differs](const char* what, int panel, int keyboard) {
        if (panel != keyboard)
            differs << QStringLiteral("%1: panel %2, keyboard %3")
                           .arg(QLatin1String(what))
                           .arg(panel)
                           .arg(keyboard);
    };
    expect("effect", shown.effect, held[lighting_byte::kEffect]);
    expect("effect list", Panel().EffectList().currentIndex(),
           shown.effects.IndexOf(held[lighting_byte::kEffect]));
    expect("brightness", Panel().BrightnessSlider().value(), held[lighting_byte::kBrightness]);
    expect("speed", Panel().SpeedSlider().value(), SliderFromSpeed(held[lighting_byte::kSpeed]));
    expect("direction", shown.direction, held[lighting_byte::kDirection]);
    expect("right marked", Panel().Choice(1150).IsMarked(), held[lighting_byte::kDirection] == 1);
    for (const LightingOption option : kLightingOptions)
        expect("option", shown.Option(option), held[static_cast<size_t>(option)]);
    expect("trigger mode continuous marked", Panel().Choice(1193).IsMarked(),
           held[lighting_byte::kTriggerMode] == 1);
    if (!std::equal(colours.begin(), colours.begin() + kKeyColourTableBytes,
                    shown.colours.Bytes().begin()))
        differs << QStringLiteral("key colours");
    return differs.join(QStringLiteral("; "));
}

void LightingPanelTest::eachEffectShowsItsControls_data() {
    QTest::addColumn<int>("effect");
    QTest::addColumn<std::set<int>>("shown");
    const std::set<int> plain = Union({kAlways, kList, kBrightness, kSpeed});
    QTest::newRow("1 direction") << 1 << Union({plain, kDirection});
    QTest::newRow("2 trigger mode") << 2 << Union({plain, kTriggerMode});
    QTest::newRow("3") << 3 << plain;
    QTest::newRow("4 breathing") << 4 << Union({plain, kBreathing});
    QTest::newRow("5 key trigger, no brightness")
        << 5 << Union({kAlways, kList, kSpeed, kKeyTrigger});
    QTest::newRow("6 key paint, no speed") << 6 << Union({kAlways, kList, kBrightness, kKeyPaint});
    for (int effect = 7; effect <= 10; ++effect)
        QTest::addRow("%d", effect) << effect << plain;
    QTest::newRow("0 outside") << 0 << kAlways;
    QTest::newRow("11 outside") << 11 << kAlways;
}

void LightingPanelTest::eachEffectShowsItsControls() {
    QFETCH(int, effect);
    QFETCH(std::set<int>, shown);
    QVERIFY(m_rig->Settings().SetLightingEditMode(true));
    SetKeyboardEffect(static_cast<uint8_t>(effect));
    Reread();
    QVERIFY(Panel().EditMode());
    for (const int id : Union({kAlways, kList, kBrightness, kSpeed, kDirection, kTriggerMode,
                               kBreathing, kKeyTrigger, kKeyPaint})) {
        QWidget* control = Panel().Widget(id);
        QVERIFY2(control != nullptr, qPrintable(QString::number(id)));
        QVERIFY2(control->isHidden() != shown.contains(id), qPrintable(QString::number(id)));
    }
    // An effect outside 1..10 leaves the list without a selection.
    QCOMPARE(Panel().EffectList().currentIndex() >= 0, IsEffect(effect));
    // Effect 5 takes the speed up to the brightness row.
    const CIniFile skin(m_rig->Paths().mainSkinFile);
    const SkinRect speed = ReadSkinRect(
        skin, u"BUTTONINFO", effect == 5 ? u"CONTROL_FYSDSLIDER2" : u"CONTROL_FYSDSLIDER");
    QCOMPARE(Panel().SpeedSlider().geometry(), QRect(speed.x, speed.y, speed.width, speed.height));
}

void LightingPanelTest::theModeOffShowsOnlyTheSwitch() {
    SetKeyboardEffect(1);
    Reread();
    QVERIFY(!Panel().EditMode());
    QVERIFY(!Panel().Widget(kEditMode)->isHidden());
    QVERIFY(Panel().Widget(1146)->isHidden());
    QVERIFY(Panel().Widget(1178)->isHidden());
    // The switch turns it on and the keyboard's effect shows its controls.
    TurnModeOn();
    QVERIFY(m_rig->Settings().LightingEditMode());
    QVERIFY(Panel().Choice(kEditMode).IsMarked());
    QVERIFY(!Panel().Widget(1149)->isHidden());
    Click(Panel().Widget(kEditMode));
    QVERIFY(!Panel().EditMode());
    QVERIFY(!m_rig->Settings().LightingEditMode());
    QVERIFY(Panel().Widget(1149)->isHidden());
}

void LightingPanelTest::speedSliderWritesTheReverseAndReadsBack() {
    SetKeyboardEffect(1);
    Reread();
    TurnModeOn();
    PictureSlider& speed = Panel().SpeedSlider();
    QTest::mouseClick(&speed, Qt::LeftButton, {}, QPoint(speed.KnobCentre(20), speed.height() / 2));
    QCOMPARE(speed.value(), 20);
    QVERIFY(m_rig->Drain());
    const auto lighting = [this] {
        return Keyboard().WithFirmware(
            [](emu::KeyboardFirmware& firmware) { return firmware.Memory().lighting; });
    };
    QCOMPARE(lighting()[lighting_byte::kSpeed], 5);
    PictureSlider& brightness = Panel().BrightnessSlider();
    QTest::mouseClick(&brightness, Qt::LeftButton, {},
                      QPoint(brightness.KnobCentre(7), brightness.height() / 2));
    QVERIFY(m_rig->Drain());
    QCOMPARE(lighting()[lighting_byte::kBrightness], 7);
    // Read back from the keyboard, the sliders show the same positions.
    {
        const QSignalBlocker blocker(&speed);
        speed.setValue(0);
    }
    Reread();
    QCOMPARE(speed.value(), 20);
    QCOMPARE(brightness.value(), 7);
}

void LightingPanelTest::reportRateIsStoredAndNeverSent() {
    const int framesBefore = ConfigurationFrames();
    Click(m_rig->Window().Button(kReportRate3));
    QVERIFY(m_rig->Drain());
    QCOMPARE(m_rig->Settings().ReportRateButton(), 3);
    QCOMPARE(ConfigurationFrames(), framesBefore);
    for (const int id : {1147, 1168, 1169, 1170})
        QCOMPARE(m_rig->Window().Button(id)->IsLit(), id == kReportRate3);
    // The next refresh reads the choice from the settings file.
    QVERIFY(m_rig->Settings().SetReportRateButton(2));
    Reread();
    QVERIFY(m_rig->Window().Button(1168)->IsLit());
    QVERIFY(!m_rig->Window().Button(kReportRate3)->IsLit());
}

void LightingPanelTest::theModeIsRefusedWhileTheAssignmentDialogIsOpen() {
    Click(m_rig->Window().Button(kKeyA));
    QTRY_VERIFY(m_rig->Window().Assignment().isVisible());
    Click(Panel().Widget(kEditMode));
    QVERIFY(m_rig->Drain());
    QTRY_COMPARE(m_rig->messages.size(), 1);
    QCOMPARE(m_rig->messages.first(),
             QStringLiteral("当快速切换情景模式时，您首先必须关闭编辑对话框."));
    QVERIFY(!Panel().EditMode());
    QVERIFY(!m_rig->Settings().LightingEditMode());
    QVERIFY(!Panel().Choice(kEditMode).IsMarked());
    m_rig->Window().Assignment().reject();
}

void LightingPanelTest::paintingKeysInThePerKeyEffect() {
    Keyboard().WithFirmware(
        [](emu::KeyboardFirmware& firmware) { firmware.Memory().colours.fill(0xFF); });
    TurnModeOn();
    ChooseEffect(kPerKeyEffect);
    QCOMPARE(Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        return firmware.Memory().lighting[lighting_byte::kEffect];
    }),
             kPerKeyEffect);
    CTavrikDlg& window = m_rig->Window();
    const int keyB = ButtonNamed(window, QStringLiteral("B"));
    QVERIFY(keyB != 0);
    Click(Panel().Widget(kLightTool));
    Click(window.Button(kKeyA));
    Click(Panel().Widget(kDarkenTool));
    Click(window.Button(keyB));
    Click(window.Button(kFn));
    QVERIFY(m_rig->Drain());
    using Triple = std::array<uint8_t, 3>;
    QCOMPARE(KeyColour(PositionFromButton(kKeyA)), (Triple{1, 1, 1}));
    QCOMPARE(KeyColour(PositionFromButton(keyB)), (Triple{0, 0, 0}));
    QCOMPARE(KeyColour(kFnPosition), (Triple{0, 0, 0}));
    QCOMPARE(KeyColour(PositionFromButton(ButtonNamed(window, QStringLiteral("C")))),
             (Triple{0xFF, 0xFF, 0xFF}));
    QCOMPARE(window.Button(kKeyA)->Tint(), QColor(Qt::white));
    QCOMPARE(window.Button(keyB)->Tint(), QColor(Qt::black));
    QCOMPARE(window.Button(kFn)->Tint(), QColor(Qt::black));
    QVERIFY(window.Button(kKeyA)->IsLit());
    QVERIFY(!window.Assignment().isVisible()); // painting never opens the key's assignment
    // Turning the mode off gives the keys their normal look back.
    Click(Panel().Widget(kEditMode));
    QVERIFY(!window.Button(kKeyA)->Tint().isValid());
    QVERIFY(!window.Button(kKeyA)->IsLit());
    // And its next turn on shows the keys as the keyboard lights them.
    TurnModeOn();
    QCOMPARE(window.Button(keyB)->Tint(), QColor(Qt::black));
    QCOMPARE(window.Button(kKeyA)->Tint(), QColor(Qt::white));
}

void LightingPanelTest::allLitAndAllDark() {
    TurnModeOn();
    ChooseEffect(kPerKeyEffect);
    CTavrikDlg& window = m_rig->Window();
    const auto colours = [this] {
        return Keyboard().WithFirmware(
            [](emu::KeyboardFirmware& firmware) { return firmware.Memory().colours; });
    };
    struct Case {
        int control;
        uint8_t value;
        Qt::GlobalColor tint;
    };
    for (const Case& c : {Case{kAllLit, 0xFF, Qt::white}, Case{kAllDark, 0x00, Qt::black}}) {
        Click(Panel().Widget(c.control));
        QVERIFY(m_rig->Drain());
        const auto table = colours();
        QVERIFY(std::all_of(table.begin(), table.begin() + kKeyPositionCount * 3,
                            [&c](uint8_t byte) { return byte == c.value; }));
        QVERIFY(Panel().Choice(c.control).IsMarked());
        QVERIFY(!Panel().Choice(c.control == kAllLit ? kAllDark : kAllLit).IsMarked());
        for (const int id : {kKeyA, kFn, 1000})
            QCOMPARE(window.Button(id)->Tint(), QColor(c.tint));
    }
}

void LightingPanelTest::aDraggedSliderSendsOneWriteAtATimeAndTheLastPosition() {
    SetKeyboardEffect(1);
    Reread();
    TurnModeOn();
    // The keyboard holds the first brightness write until the whole drag is over.
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    int brightnessWrites = 0;
    m_rig->Transport().BeforeFrame([&](const ConfigFrame& frame, EmulatedHidBridge&) {
        if (frame[frame::kCommand] != kWriteCommand ||
            FrameAddress(frame) != lighting_byte::kBrightness)
            return;
        std::unique_lock lock(mutex);
        if (++brightnessWrites == 1)
            released.wait(lock, [&release] { return release; });
    });
    PictureSlider& slider = Panel().BrightnessSlider();
    const int y = slider.height() / 2;
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.KnobCentre(3), y));
    for (int position = 4; position <= kLevelMax; ++position)
        QTest::mouseMove(&slider, QPoint(slider.KnobCentre(position), y));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.KnobCentre(kLevelMax), y));
    QCOMPARE(slider.value(), kLevelMax);
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    QVERIFY(m_rig->Drain());
    QVERIFY(m_rig->Drain()); // the last position went out after the first write's answer
    m_rig->Transport().BeforeFrame({});
    QCOMPARE(brightnessWrites, 2);
    QCOMPARE(Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        return firmware.Memory().lighting[lighting_byte::kBrightness];
    }),
             kLevelMax);
    QCOMPARE(m_rig->Transport().FramesOf(kColourWriteCommand), 0);
}

void LightingPanelTest::aFailedChangeIsToldOnceAndThePanelShowsTheKeyboard_data() {
    QTest::addColumn<int>("effect");       // the keyboard's at the start
    QTest::addColumn<int>("control");      // clicked, or the effect list
    QTest::addColumn<int>("chosenEffect"); // for the effect list
    QTest::addColumn<int>("faultCommand"); // every frame of this command gets the fault
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("told"); // a part of the message
    const auto row = [](const char* name, int effect, int control, int chosenEffect,
                        uint8_t faultCommand, emu::Fault fault, const QString& told) {
        QTest::newRow(name) << effect << control << chosenEffect << int(faultCommand) << int(fault)
                            << told;
    };
    row("direction right refused", 1, 1150, 0, command::kWriteLighting, emu::Fault::RefuseFF,
        QStringLiteral("写入灯光设定 (字节 4..4): 键盘拒绝 (状态 0xFF)"));
    row("trigger mode continuous refused", 2, 1193, 0, command::kWriteLighting,
        emu::Fault::RefuseFE, QStringLiteral("写入灯光设定 (字节 5..5): 键盘拒绝 (状态 0xFE)"));
    row("effect 3 chosen, refused", 1, 1146, 3, command::kWriteLighting, emu::Fault::RefuseFE,
        QStringLiteral("写入灯光设定 (字节 0..0): 键盘拒绝 (状态 0xFE)"));
    row("all keys dark refused", kPerKeyEffect, kAllDark, 0, command::kWriteColours,
        emu::Fault::RefuseFF, QStringLiteral("写入按键颜色"));
    row("direction right, the keyboard unplugged", 1, 1150, 0, command::kBegin,
        emu::Fault::UnplugAfter, QStringLiteral("未检测到设备"));
}

// The change goes back to what the keyboard holds, and the user is told once.
void LightingPanelTest::aFailedChangeIsToldOnceAndThePanelShowsTheKeyboard() {
    QFETCH(int, effect);
    QFETCH(int, control);
    QFETCH(int, chosenEffect);
    QFETCH(int, faultCommand);
    QFETCH(int, fault);
    QFETCH(QString, told);
    SetKeyboardEffect(static_cast<uint8_t>(effect));
    Reread();
    TurnModeOn();
    QCOMPARE(PanelDiffersFromTheKeyboard(), QString());
    m_rig->messages.clear();
    m_rig->Transport().BeforeFrame(
        [faultCommand, fault](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
            if (frame[frame::kCommand] == faultCommand)
                keyboard.SetFault(static_cast<emu::Fault>(fault), 1);
        });
    if (control == 1146)
        ChooseEffect(chosenEffect);
    else
        Click(Panel().Widget(control));
    QTRY_COMPARE(m_rig->messages.size(), 1);
    QVERIFY(m_rig->Drain());
    m_rig->Transport().BeforeFrame({});
    QCOMPARE(m_rig->messages.size(), 1);
    const QString& message = m_rig->messages.first();
    QVERIFY2(message.startsWith(QStringLiteral("写入键盘失败")), qPrintable(message));
    QVERIFY2(message.contains(told), qPrintable(message));
    QCOMPARE(PanelDiffersFromTheKeyboard(), QString());
    if (control != 1146)
        QVERIFY(!Panel().Choice(control).IsMarked());
}

void LightingPanelTest::aDragIsToldOnceAtItsRelease_data() {
    QTest::addColumn<bool>("lastRefused");
    QTest::newRow("every position refused") << true;
    QTest::newRow("every position but the last refused") << false;
}

// The writes of a drag finish, refused, while the slider is still held: the panel keeps showing
// where the user holds it, and the user is told once, at the release, when the last position
// failed too; then the panel shows what the keyboard holds.
void LightingPanelTest::aDragIsToldOnceAtItsRelease() {
    QFETCH(bool, lastRefused);
    SetKeyboardEffect(1);
    Reread();
    TurnModeOn();
    const auto brightness = [this] {
        return Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
            return firmware.Memory().lighting[lighting_byte::kBrightness];
        });
    };
    const uint8_t before = brightness();
    QVERIFY(before != kLevelMax);
    m_rig->messages.clear();
    m_rig->Transport().BeforeFrame(
        [lastRefused](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
            if (frame[frame::kCommand] == command::kWriteLighting &&
                FrameAddress(frame) == lighting_byte::kBrightness &&
                (lastRefused || frame[frame::kData] != kLevelMax))
                keyboard.SetFault(emu::Fault::RefuseFF, 1);
        });
    PictureSlider& slider = Panel().BrightnessSlider();
    const int y = slider.height() / 2;
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.KnobCentre(3), y));
    for (const int position : {3, 10, 18, kLevelMax}) {
        QTest::mouseMove(&slider, QPoint(slider.KnobCentre(position), y));
        // Every write finishes while the slider is held.
        QVERIFY(m_rig->Drain());
        QVERIFY(m_rig->Drain());
        QCOMPARE(slider.value(), position);
        QVERIFY2(m_rig->messages.isEmpty(), qPrintable(m_rig->messages.join(u'\n')));
    }
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.KnobCentre(kLevelMax), y));
    QVERIFY(m_rig->Drain());
    QVERIFY(m_rig->Drain());
    m_rig->Transport().BeforeFrame({});
    QCOMPARE(m_rig->messages.size(), lastRefused ? 1 : 0);
    QCOMPARE(brightness(), lastRefused ? before : kLevelMax);
    QCOMPARE(PanelDiffersFromTheKeyboard(), QString());
}

} // namespace tavrik

QTEST_MAIN(tavrik::LightingPanelTest)
#include "tst_lighting_panel.moc"
