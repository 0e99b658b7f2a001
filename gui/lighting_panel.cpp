#include "gui/lighting_panel.h"

#include "gui/keyboard_editor.h"
#include "lighting/lighting_model.h"
#include "skin/png_button.h"
#include "skin/skin_names.h"
#include "skin/skin_rect.h"
#include "widgets/picture_choice.h"
#include "widgets/picture_slider.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>

namespace tavrik {
namespace {

// Control ids of the panel.
constexpr int ID_EFFECTS = 1146;
constexpr int ID_DIRECTION_CAPTION = 1148;
constexpr int ID_LEFT = 1149;
constexpr int ID_RIGHT = 1150;
constexpr int ID_TOOLS_CAPTION = 1163;
constexpr int ID_LIGHT_TOOL = 1164;
constexpr int ID_DARKEN_TOOL = 1165;
constexpr int ID_SPEED_CAPTION = 1166;
constexpr int ID_EDIT_MODE = 1167;
constexpr int ID_LIGHTING_CAPTION = 1171;
constexpr int ID_BRIGHTNESS_CAPTION = 1172;
constexpr int ID_BRIGHTNESS = 1178;
constexpr int ID_SPEED = 1179;
constexpr int ID_KEY_TRIGGER_CAPTION = 1182;
constexpr int ID_ALL_DARK = 1198;
constexpr int ID_ALL_LIT_CAPTION = 1199;
constexpr int ID_ALL_LIT = 1200;
constexpr int ID_ALL_DARK_CAPTION = 1201;

// A two-way option: its byte, the controls of its first and second choice and their captions.
struct OptionPair {
    LightingOption option;
    int first;
    int second;
    std::u16string_view firstKey;
    std::u16string_view secondKey;
    int firstCaption;
    int secondCaption;
    const char16_t* firstText;
    const char16_t* secondText;
    std::u16string_view firstCaptionKey;
    std::u16string_view secondCaptionKey;
};

constexpr OptionPair kOptionPairs[] = {
    {LightingOption::TriggerMode, 1195, 1193, u"CONTROL_JTcfSta", u"CONTROL_JTlxSta", 1194, 1196,
     u"触发", u"连续", u"CONTROL_JTcfStatic", u"CONTROL_JTlxStatic"},
    {LightingOption::TriggerArea, 1183, 1180, u"CONTROL_FYDJCFSTA", u"CONTROL_FYGGCFSTA", 1181,
     1184, u"单键触发", u"宫格触发", u"CONTROL_FYDJCFSTATIC", u"CONTROL_FYGGCFSTATIC"},
    {LightingOption::PressReaction, 1187, 1185, u"CONTROL_FYaxclPic", u"CONTROL_FYaxssPic", 1186,
     1188, u"按下常亮", u"按下闪速", u"CONTROL_FYaxclStatic", u"CONTROL_FYaxssStatic"},
    {LightingOption::Breathing, 1191, 1189, u"CONTROL_HXqjhxSta", u"CONTROL_HXjthxSta", 1190, 1192,
     u"全键呼吸", u"交替呼吸", u"CONTROL_HXqjhxStatic", u"CONTROL_HXjthxStatic"},
};

// The panel's captions on the skin's dark face.
constexpr QRgb kCaptionColour = 0x8A919E;
constexpr QRgb kChoiceCaptionColour = 0xE6E9EF;
constexpr int kCaptionPixels = 13;
const QString kFontFamily = QStringLiteral("Noto Sans CJK SC");
const QString kEffectListStyle =
    QStringLiteral("QComboBox { background: #101216; color: #e6e9ef; border: 1px solid #353a46;"
                   " border-radius: 6px; padding-left: 10px; }"
                   "QComboBox QAbstractItemView { background: #101216; color: #e6e9ef;"
                   " selection-background-color: #1e3a44; }");
constexpr int kSliderPageStep = 10;

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LightingPanel::LightingPanel(KeyboardEditor& editor, const CIniFile& mainSkin,
                             const std::filesystem::path& skinFolder, SettingsFile settings,
                             std::array<CPngButton*, kReportRateButtons> reportRateButtons,
                             QWidget& window)
    : QObject(&window)
    , m_editor(editor)
    , m_skin(mainSkin)
    , m_pictures(skinFolder)
    , m_settings(std::move(settings))
    , m_reportRate(reportRateButtons)
    , m_window(window)
    , m_brightnessWrites([this](int position, std::function<void()> done) {
        SendPosition(
            m_brightnessWrites,
            [position](LightingModel& model) { return model.SetBrightness(position); },
            std::move(done));
    })
    , m_speedWrites([this](int position, std::function<void()> done) {
        SendPosition(
            m_speedWrites,
            [position](LightingModel& model) { return model.SetSpeedFromSlider(position); },
            std::move(done));
    }) {
    BuildControls();
    ConnectControls();
    ShowEditMode(false);
}

LightingPanel::~LightingPanel() = default;

void LightingPanel::BuildControls() {
    const auto picture = [this](std::string_view name) { return m_pictures.Picture(name); };
    const auto sliderPicture = [this](int position) { return m_pictures.SliderPosition(position); };
    AddChoice(ID_EDIT_MODE, picture("dengup.bmp"), picture("dengdown.bmp"), QStringLiteral("灯光"),
              u"CONTROL_DENGSELECT");
    AddCaption(ID_LIGHTING_CAPTION, QStringLiteral("灯光"), u"CONTROL_DENGSTATIC");
    m_effects = new QComboBox(&m_window);
    m_effects->setStyleSheet(kEffectListStyle);
    m_effects->setFont(QFont(kFontFamily, 10));
    m_effects->setAccessibleName(QStringLiteral("灯光效果"));
    m_effects->setFocusPolicy(Qt::TabFocus);
    Place(*m_effects, u"CONTROL_XGCOMBOX");
    m_widgets[ID_EFFECTS] = m_effects;
    AddCaption(ID_BRIGHTNESS_CAPTION, QStringLiteral("亮度"), u"CONTROL_LightStatic");
    m_brightness = new PictureSlider(kLevelMax, sliderPicture, &m_window);
    m_brightness->setAccessibleName(QStringLiteral("亮度"));
    Place(*m_brightness, u"CONTROL_LightSlider");
    m_widgets[ID_BRIGHTNESS] = m_brightness;
    AddCaption(ID_SPEED_CAPTION, QStringLiteral("速度"), u"CONTROL_FYSDSTATIC");
    m_speed = new PictureSlider(kLevelMax, sliderPicture, &m_window);
    m_speed->setAccessibleName(QStringLiteral("速度"));
    m_widgets[ID_SPEED] = m_speed;
    for (PictureSlider* slider : {m_brightness, m_speed})
        slider->setPageStep(kSliderPageStep);
    PlaceSpeed(false);
    AddCaption(ID_DIRECTION_CAPTION, QStringLiteral("方向"), u"CONTROL_BLFXSTATIC");
    AddChoice(ID_LEFT, picture("leftup.bmp"), picture("leftdown.bmp"), QStringLiteral("向左"),
              u"CONTROL_BLFXLSTATIC");
    AddChoice(ID_RIGHT, picture("rightup.bmp"), picture("rightdown.bmp"), QStringLiteral("向右"),
              u"CONTROL_BLFXRSTATIC");
    AddCaption(ID_KEY_TRIGGER_CAPTION, QStringLiteral("触发"), u"CONTROL_FYCFSTATIC");
    for (const OptionPair& pair : kOptionPairs) {
        AddChoice(pair.first, picture("sjsup.bmp"), picture("sjsdown.bmp"), Text(pair.firstText),
                  pair.firstKey);
        AddChoice(pair.second, picture("sjsup.bmp"), picture("sjsdown.bmp"), Text(pair.secondText),
                  pair.secondKey);
        AddCaption(pair.firstCaption, Text(pair.firstText), pair.firstCaptionKey,
                   CaptionRole::Choice);
        AddCaption(pair.secondCaption, Text(pair.secondText), pair.secondCaptionKey,
                   CaptionRole::Choice);
    }
    AddCaption(ID_TOOLS_CAPTION, QStringLiteral("工具"), u"CONTROL_USERGJSTATIC");
    AddChoice(ID_LIGHT_TOOL, picture("user1up.bmp"), picture("user1down.bmp"),
              QStringLiteral("点亮按键"), u"CONTROL_USERGJSTATIC1");
    AddChoice(ID_DARKEN_TOOL, picture("user2up.bmp"), picture("user2down.bmp"),
              QStringLiteral("熄灭按键"), u"CONTROL_USERGJSTATIC2");
    AddChoice(ID_ALL_LIT, picture("sjsup.bmp"), picture("sjsdown.bmp"), QStringLiteral("全亮"),
              u"CONTROL_USERqlSta");
    AddChoice(ID_ALL_DARK, picture("sjsup.bmp"), picture("sjsdown.bmp"), QStringLiteral("全灭"),
              u"CONTROL_USERqmSta");
    AddCaption(ID_ALL_LIT_CAPTION, QStringLiteral("全亮"), u"CONTROL_USERqlStatic",
               CaptionRole::Choice);
    AddCaption(ID_ALL_DARK_CAPTION, QStringLiteral("全灭"), u"CONTROL_USERqmStatic",
               CaptionRole::Choice);
}

void LightingPanel::Place(QWidget& widget, std::u16string_view skinKey) const {
    const SkinRect rect = ReadSkinRect(m_skin, skin::kButtonInfo, skinKey);
    widget.setGeometry(rect.x, rect.y, rect.width, rect.height);
}

void LightingPanel::AddCaption(int controlId, const QString& text, std::u16string_view skinKey,
                               CaptionRole role) {
    auto* caption = new QLabel(text, &m_window);
    caption->setAttribute(Qt::WA_TranslucentBackground);
    QFont font(kFontFamily);
    font.setPixelSize(kCaptionPixels);
    caption->setFont(font);
    QPalette palette = caption->palette();
    palette.setColor(
        QPalette::WindowText,
        QColor::fromRgb(role == CaptionRole::Choice ? kChoiceCaptionColour : kCaptionColour));
    caption->setPalette(palette);
    caption->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    Place(*caption, skinKey);
    m_widgets[controlId] = caption;
}

void LightingPanel::AddChoice(int controlId, const QPixmap& plain, const QPixmap& marked,
                              const QString& name, std::u16string_view skinKey) {
    auto* choice = new PictureChoice(plain, marked, &m_window);
    choice->setAccessibleName(name);
    Place(*choice, skinKey);
    m_widgets[controlId] = choice;
    m_choices[controlId] = choice;
}

QWidget* LightingPanel::Widget(int controlId) const {
    const auto found = m_widgets.find(controlId);
    return found == m_widgets.end() ? nullptr : found->second;
}

void LightingPanel::ConnectControls() {
    const auto onClick = [this](int controlId, auto action) {
        connect(m_choices.at(controlId), &QAbstractButton::clicked, this, action);
    };
    onClick(ID_EDIT_MODE, [this] { ToggleEditMode(); });
    onClick(ID_LEFT, [this] { ChooseDirection(LightingDirection::Left); });
    onClick(ID_RIGHT, [this] { ChooseDirection(LightingDirection::Right); });
    for (const OptionPair& pair : kOptionPairs) {
        const LightingOption option = pair.option;
        onClick(pair.first, [this, option] { ChooseOption(option, TwoWayChoice::First); });
        onClick(pair.second, [this, option] { ChooseOption(option, TwoWayChoice::Second); });
    }
    onClick(ID_LIGHT_TOOL, [this] { ChooseTool(KeyLightTool::Light); });
    onClick(ID_DARKEN_TOOL, [this] { ChooseTool(KeyLightTool::Darken); });
    onClick(ID_ALL_LIT, [this] { SetAllKeys(true); });
    onClick(ID_ALL_DARK, [this] { SetAllKeys(false); });
    connect(m_effects, &QComboBox::currentIndexChanged, this, &LightingPanel::SelectEffectAt);
    connect(m_brightness, &QAbstractSlider::valueChanged, this, [this](int position) {
        m_state.brightness = ClampLevel(position);
        m_brightnessWrites.writer.Write(position);
    });
    connect(m_speed, &QAbstractSlider::valueChanged, this, [this](int position) {
        m_state.speed = SpeedFromSlider(position);
        m_speedWrites.writer.Write(position);
    });
    ConnectSlider(*m_brightness, m_brightnessWrites);
    ConnectSlider(*m_speed, m_speedWrites);
}

void LightingPanel::ConnectSlider(PictureSlider& slider, SliderWrites& writes) {
    // Held down, the slider makes one change until it is let go.
    connect(&slider, &QAbstractSlider::sliderPressed, this, [&writes] { writes.report.Press(); });
    connect(&slider, &QAbstractSlider::sliderReleased, this, [this, &writes] {
        if (writes.report.Release(writes.writer.InFlight()))
            TellFailure(std::move(writes.failure));
    });
}

void LightingPanel::Send(Change change) {
    // The answer comes through the editor's queue: it must not reach a panel that is gone.
    m_editor.PostLightingChange(std::move(change),
                                [panel = QPointer<LightingPanel>(this)](std::u16string failure) {
                                    if (panel != nullptr && !failure.empty())
                                        panel->TellFailure(std::move(failure));
                                });
}

void LightingPanel::SendPosition(SliderWrites& slider, Change change, std::function<void()> done) {
    m_editor.PostLightingChange(std::move(change),
                                [panel = QPointer<LightingPanel>(this), &slider,
                                 done = std::move(done)](std::u16string failure) {
                                    if (panel == nullptr)
                                        return;
                                    const bool failed = !failure.empty();
                                    slider.failure = std::move(failure);
                                    done(); // the newest position waiting goes out now
                                    if (slider.report.Written(failed, slider.writer.InFlight()))
                                        panel->TellFailure(std::move(slider.failure));
                                });
}

void LightingPanel::TellFailure(std::u16string failure) {
    // The editor shows what the keyboard now holds, then the message.
    m_editor.PostLightingFailure(std::move(failure));
}

void LightingPanel::Refresh(const LightingState& state) {
    // The tool is the panel's own: the pictures keep showing the one in use.
    const KeyLightTool tool = m_state.tool;
    m_state = state;
    m_state.tool = tool;
    m_editMode = state.preferences.editMode;
    FillEffectList();
    ShowReportRate(state.preferences.reportRateButton);
    {
        const QSignalBlocker brightness(m_brightness);
        const QSignalBlocker speed(m_speed);
        m_brightness->setValue(state.brightness);
        m_speed->setValue(SliderFromSpeed(state.speed));
    }
    ShowChoices();
    for (const int id : {ID_ALL_LIT, ID_ALL_DARK})
        m_choices.at(id)->SetMarked(false);
    ShowEditMode(m_editMode);
}

void LightingPanel::FillEffectList() {
    const QSignalBlocker blocker(m_effects);
    m_effects->clear();
    const SkinValueLookup names = [this](std::u16string_view section, std::u16string_view key) {
        return m_skin.GetString(section, key);
    };
    for (const uint8_t effect : m_state.effects.Effects())
        m_effects->addItem(Text(EffectName(effect, names)));
    m_effects->setCurrentIndex(IsEffect(m_state.effect) ? m_state.effects.IndexOf(m_state.effect)
                                                        : -1);
}

void LightingPanel::ShowReportRate(int button) {
    if (button < 1 || button > kReportRateButtons)
        return;
    for (int index = 0; index < kReportRateButtons; ++index) {
        if (CPngButton* reportRate = m_reportRate[static_cast<size_t>(index)])
            reportRate->SetLit(index + 1 == button);
    }
}

void LightingPanel::ChooseReportRate(int button) {
    m_settings.SetReportRateButton(button);
    m_state.preferences.reportRateButton = button;
    ShowReportRate(button);
}

void LightingPanel::ShowChoices() {
    m_choices.at(ID_LEFT)->SetMarked(m_state.direction == 0);
    m_choices.at(ID_RIGHT)->SetMarked(m_state.direction == 1);
    for (const OptionPair& pair : kOptionPairs) {
        const uint8_t value = m_state.Option(pair.option);
        m_choices.at(pair.first)->SetMarked(value == 0);
        m_choices.at(pair.second)->SetMarked(value == 1);
    }
    m_choices.at(ID_LIGHT_TOOL)->SetMarked(m_state.tool == KeyLightTool::Light);
    m_choices.at(ID_DARKEN_TOOL)->SetMarked(m_state.tool == KeyLightTool::Darken);
}

void LightingPanel::ToggleEditMode() {
    if (m_editMode) {
        EndEditMode();
        return;
    }
    // Turning the mode on first re-selects the active profile: editors must be closed, and
    // unsaved key edits are saved or dropped before key clicks start painting.
    m_editor.PostReselectActiveProfile([panel = QPointer<LightingPanel>(this)](bool switched) {
        if (panel == nullptr || !switched)
            return;
        panel->m_settings.SetLightingEditMode(true);
        panel->ShowEditMode(true);
    });
}

void LightingPanel::EndEditMode() {
    m_settings.SetLightingEditMode(false);
    ShowEditMode(false);
}

void LightingPanel::ShowEditMode(bool on) {
    m_editMode = on;
    m_state.preferences.editMode = on;
    m_choices.at(ID_EDIT_MODE)->SetMarked(on);
    ApplyLayout();
    ShowKeyLook();
}

void LightingPanel::SelectEffectAt(int listIndex) {
    const int effect = m_state.effects.EffectAt(listIndex);
    if (!IsEffect(effect))
        return;
    m_state.effect = static_cast<uint8_t>(effect);
    Send([effect](LightingModel& model) { return model.SelectEffect(effect); });
    ShowKeyLook();
    ApplyLayout();
}

void LightingPanel::ShowGroup(std::initializer_list<int> controlIds, bool shown) {
    for (const int id : controlIds)
        m_widgets.at(id)->setVisible(shown);
}

void LightingPanel::ApplyLayout() {
    const LightingPanelLayout layout = PanelLayoutFor(m_editMode, m_state.effect);
    PlaceSpeed(layout.speedInReactivePlace);
    ShowGroup({ID_EFFECTS}, layout.effectList);
    ShowGroup({ID_BRIGHTNESS_CAPTION, ID_BRIGHTNESS}, layout.brightness);
    ShowGroup({ID_SPEED_CAPTION, ID_SPEED}, layout.speed);
    ShowGroup({ID_DIRECTION_CAPTION, ID_LEFT, ID_RIGHT}, layout.direction);
    ShowGroup({1193, 1194, 1195, 1196}, layout.triggerMode);
    ShowGroup({1189, 1190, 1191, 1192}, layout.breathing);
    ShowGroup({1180, 1181, 1182, 1183, 1184, 1185, 1186, 1187, 1188}, layout.keyTrigger);
    ShowGroup({ID_TOOLS_CAPTION, ID_LIGHT_TOOL, ID_DARKEN_TOOL, ID_ALL_DARK, ID_ALL_LIT_CAPTION,
               ID_ALL_LIT, ID_ALL_DARK_CAPTION},
              layout.keyPaint);
}

void LightingPanel::PlaceSpeed(bool reactivePlace) {
    Place(*m_widgets.at(ID_SPEED_CAPTION),
          reactivePlace ? u"CONTROL_FYSDSTATIC2" : u"CONTROL_FYSDSTATIC");
    Place(*m_speed, reactivePlace ? u"CONTROL_FYSDSLIDER2" : u"CONTROL_FYSDSLIDER");
}

bool LightingPanel::PerKeyEffectShown() const {
    const int perKeyIndex = m_state.effects.IndexOf(kPerKeyEffect);
    return perKeyIndex >= 0 && m_effects->currentIndex() == perKeyIndex;
}

void LightingPanel::ShowKeyLook() {
    emit keyLookChanged(m_editMode && PerKeyEffectShown(), m_state.colours);
}

void LightingPanel::ChooseDirection(LightingDirection direction) {
    m_state.direction = static_cast<uint8_t>(direction);
    ShowChoices();
    Send([direction](LightingModel& model) { return model.SetDirection(direction); });
}

void LightingPanel::ChooseOption(LightingOption option, TwoWayChoice choice) {
    if (m_state.Option(option) == static_cast<uint8_t>(choice))
        return;
    m_state.SetOptionValue(option, static_cast<uint8_t>(choice));
    ShowChoices();
    Send([option, choice](LightingModel& model) { return model.SetOption(option, choice); });
}

void LightingPanel::ChooseTool(KeyLightTool tool) {
    m_state.tool = tool;
    ShowChoices();
    Send([tool](LightingModel& model) {
        model.SetKeyLightTool(tool);
        return DeviceResult::Done;
    });
}

void LightingPanel::SetAllKeys(bool lit) {
    m_choices.at(ID_ALL_LIT)->SetMarked(lit);
    m_choices.at(ID_ALL_DARK)->SetMarked(!lit);
    m_state.colours.Fill(lit ? kKeyLitAll : kKeyDark);
    emit allKeysTinted(lit);
    Send([lit](LightingModel& model) { return model.SetAllKeys(lit); });
}

std::optional<bool> LightingPanel::PaintKey(KeyPosition position) {
    if (!PerKeyEffectShown())
        return std::nullopt;
    const KeyLightTool tool = m_state.tool;
    const bool lit = tool == KeyLightTool::Light;
    m_state.colours.SetKey(position, lit ? kKeyLitByTool : kKeyDark);
    Send([position, tool](LightingModel& model) {
        model.SetKeyLightTool(tool);
        return model.PaintKey(position);
    });
    return lit;
}

} // namespace tavrik
