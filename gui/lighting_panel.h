#pragma once
// The lighting and report-rate panel of the main window. Its switch turns the lighting edit
// mode on and off; while on, the panel shows the effect the keyboard runs with that effect's
// own settings, and key clicks paint keys in the per-key effect. Every change goes to the
// keyboard at once on the keyboard editor's worker; a dragged slider keeps at most one write in
// flight and always sends its last position. A change the keyboard does not take (refused,
// unplugged) is told once, when it is over (a drag at its release), and the panel then shows
// what the keyboard holds. The report-rate buttons only store a choice.
//
// The panel draws on the main window (its controls sit among the window's own, placed from the
// main skin file) and tells the window through signals how the key buttons should look.

#include "device/device_result.h"
#include "gui/latest_value_writer.h"
#include "lighting/change_report.h"
#include "lighting/lighting_state.h"
#include "lighting/panel_layout.h"
#include "profile/settings_file.h"
#include "skin/ini_file.h"
#include "skin/panel_pictures.h"

#include <QObject>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>

class QComboBox;
class QLabel;

namespace tavrik {

class CPngButton;
class KeyboardEditor;
class LightingModel;
class PictureChoice;
class PictureSlider;

inline constexpr int kReportRateButtons = 4;

class LightingPanel : public QObject {
    Q_OBJECT
public:
    // The four report-rate buttons are the window's; the panel gives them their checked look.
    LightingPanel(KeyboardEditor& editor, const CIniFile& mainSkin,
                  const std::filesystem::path& skinFolder, SettingsFile settings,
                  std::array<CPngButton*, kReportRateButtons> reportRateButtons, QWidget& window);
    ~LightingPanel() override;

    // After the keyboard's lighting was read: every control shows the state.
    void Refresh(const LightingState& state);
    // The switch clicked: on (after the active profile is re-selected) or off.
    void ToggleEditMode();
    // The profile buttons end the edit mode.
    void EndEditMode();
    bool EditMode() const { return m_editMode; }
    // Report-rate button 1..4 clicked.
    void ChooseReportRate(int button);
    // A key click in the edit mode: when the effect list shows the per-key effect, lights or
    // darkens the key by the tool and gives the look its button takes (true lit).
    std::optional<bool> PaintKey(KeyPosition position);

    // For the tests and the screenshots.
    QComboBox& EffectList() const { return *m_effects; }
    PictureSlider& BrightnessSlider() const { return *m_brightness; }
    PictureSlider& SpeedSlider() const { return *m_speed; }
    PictureChoice& Choice(int controlId) const { return *m_choices.at(controlId); }
    // Any control of the panel by its id (nullptr for another id).
    QWidget* Widget(int controlId) const;
    const LightingState& State() const { return m_state; }

signals:
    // The key buttons take the per-key look (tinted by the first colour byte of their key) or,
    // with perKey false, their normal look with the key-function marks.
    void keyLookChanged(bool perKey, const tavrik::KeyColourTable& colours);
    // All lit or all dark: every key button tinted white or black.
    void allKeysTinted(bool lit);

private:
    // A slider's writes: one on its way and the newest position waiting, and what its last
    // finished write left to tell.
    struct SliderWrites {
        explicit SliderWrites(LatestValueWriter::Send send)
            : writer(std::move(send)) {}
        LatestValueWriter writer;
        LightingChangeReport report;
        std::u16string failure;
    };
    using Change = std::function<DeviceResult(LightingModel&)>;

    void BuildControls();
    void ConnectControls();
    void Place(QWidget& widget, std::u16string_view skinKey) const;
    // A section's name (muted) or the words of a choice beside its picture.
    enum class CaptionRole { Section, Choice };
    void AddCaption(int controlId, const QString& text, std::u16string_view skinKey,
                    CaptionRole role = CaptionRole::Section);
    void AddChoice(int controlId, const QPixmap& plain, const QPixmap& marked, const QString& name,
                   std::u16string_view skinKey);
    void ShowGroup(std::initializer_list<int> controlIds, bool shown);
    void FillEffectList();
    void SelectEffectAt(int listIndex);
    void ShowEditMode(bool on);
    void ShowChoices();
    void ShowReportRate(int button);
    void ApplyLayout();
    void PlaceSpeed(bool reactivePlace);
    void ShowKeyLook();
    void ChooseDirection(LightingDirection direction);
    void ChooseOption(LightingOption option, TwoWayChoice choice);
    void ChooseTool(KeyLightTool tool);
    void SetAllKeys(bool lit);
    // A change of a click: a failure is told as soon as it is known.
    void Send(Change change);
    // One position of a slider; `done` lets its writer send the newest position waiting.
    void SendPosition(SliderWrites& slider, Change change, std::function<void()> done);
    void ConnectSlider(PictureSlider& slider, SliderWrites& writes);
    void TellFailure(std::u16string failure);
    bool PerKeyEffectShown() const;

    KeyboardEditor& m_editor;
    const CIniFile& m_skin;
    // Kept for the sliders, which decode a position's picture when they first show it.
    PanelPictures m_pictures;
    SettingsFile m_settings;
    std::array<CPngButton*, kReportRateButtons> m_reportRate;
    QWidget& m_window;
    LightingState m_state;
    bool m_editMode = false;
    QComboBox* m_effects = nullptr;
    PictureSlider* m_brightness = nullptr;
    PictureSlider* m_speed = nullptr;
    std::map<int, QWidget*> m_widgets;
    std::map<int, PictureChoice*> m_choices;
    SliderWrites m_brightnessWrites;
    SliderWrites m_speedWrites;
};

} // namespace tavrik
