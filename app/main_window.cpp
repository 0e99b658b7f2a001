#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/app_icons.h"
#include "app/instance_server.h"
#include "app/process_state.h"
#include "assign/key_description.h"
#include "gui/assignment_dialog.h"
#include "gui/lighting_panel.h"
#include "gui/message_boxes.h"
#include "gui/pending_changes_dialog.h"
#include "gui/profile_manager_dialog.h"
#include "history/step_names.h"
#include "keys/key_table.h"
#include "lighting/lighting_params.h"
#include "skin/panel_pictures.h"
#include "skin/skin_failure.h"
#include "skin/skin_keys.h"
#include "skin/skin_names.h"
#include "skin/skin_placement.h"
#include "skin/skin_rect.h"
#include "skin/skin_texts.h"
#include "transport/backend_selection.h"
#include "widgets/busy_indicator.h"
#include "widgets/undo_shortcuts.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QUrl>

#include <algorithm>

namespace tavrik {
namespace {

constexpr std::u16string_view kLeftArrowKey = u"LEFT_ARROW";
constexpr std::u16string_view kRightArrowKey = u"RIGHT_ARROW";
const QString kTrayTooltip = QStringLiteral("游戏键盘");
constexpr QRgb kCaptionColour = 0xE4E4E4;
constexpr std::u16string_view kBusyIndicatorKey = u"CONTROL_JDTSTATIC";
// "还原" and "备份" take a profile file, or the whole configuration as text (a ".txt" file).
const QString kProfileFileFilter = QStringLiteral("(*.tvk) (*.tvk)");
const QString kProfileTextFilter = QStringLiteral("(*.txt) (*.txt)");
const QString kBackupFilters =
    kProfileFileFilter + QStringLiteral(";;") + kProfileTextFilter + QStringLiteral(";;(*.*) (*)");

BackupForm BackupFormOf(const QString& path) {
    return path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) ? BackupForm::Text
                                                                      : BackupForm::ProfileFile;
}

QString Utf8Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Commands of the buttons and of menu 144.
constexpr int ID_FLIP_1 = 1130;
constexpr int ID_FLIP_2 = 1131;
constexpr int ID_FLIP_LAMP = 1129;
constexpr int ID_BANK_LAMP = 1128;
constexpr int ID_PROFILE_1 = 1135;
constexpr int ID_DEFAULT = 1138;
constexpr int ID_MENU_IMPORT = 32776;
constexpr int ID_MENU_EXPORT = 32777;
constexpr int ID_MENU_CLOSE = 32779;
constexpr int ID_MENU_UNDO = 32780;
constexpr int ID_MENU_REDO = 32781;
constexpr int ID_MENU_PENDING = 32782;
// F1-F4 share the top row with D1-D6, which the Flip setting swaps in.
constexpr int ID_F1 = 1010;
constexpr int ID_F4 = 1013;
constexpr int kHardwareProfiles = 3;
// Timer of the window that re-reads the lighting after the keyboard changed it.
constexpr int kLightingRereadDelayMs = 0;
constexpr int kBusyFrames = 10;
// How often Open looks again while a keyboard is being read.
constexpr int kArrivalPollMs = 50;
constexpr size_t kNamedGKeys = 5;

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::vector<QPixmap> BusyFrames(const std::filesystem::path& skinFolder) {
    const PanelPictures pictures(skinFolder);
    std::vector<QPixmap> frames;
    for (int frame = 0; frame < kBusyFrames; ++frame)
        frames.push_back(pictures.BusyFrame(frame));
    return frames;
}

} // namespace

CTavrikDlg::CTavrikDlg(ProcessState& state, AppPaths paths, InstanceServer& instanceServer,
                       KeyboardEditor& editor, SettingsFile settings)
    : CBaseDialog(paths.mainSkinFile, paths.skinFolder)
    , m_state(state)
    , m_paths(std::move(paths))
    , m_instanceServer(instanceServer)
    , m_editor(editor)
    , m_settings(std::move(settings))
    , m_preferences(QCoreApplication::applicationName())
    , m_lightingTimer(new QTimer(this))
    , m_trayIcon(m_paths.iconFolder)
    , m_icon(LoadAppIcon(m_paths.iconFolder, kIconNoKeyboard)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("游戏键盘设定"));
    setWindowIcon(m_icon);
    m_lightingTimer->setSingleShot(true);
    m_lightingTimer->setInterval(kLightingRereadDelayMs);
    connect(m_lightingTimer, &QTimer::timeout, this, [this] { m_editor.PostLightingReread(); });
    connect(&m_trayIcon, &CTrayIcon::commandChosen, this, &CTavrikDlg::RunCommand);
    CreateUndoActions();
    ConnectEditor();
    connect(this, &CTavrikDlg::assignmentRequested, this,
            [this](const KeyClickRoute& route, int buttonId) {
                Assignment().Request(static_cast<size_t>(route.slot), route.macroOnly,
                                     Button(buttonId));
            });
}

// The dialogs are made when first asked for: many owners never open them, and their lists and
// fonts would otherwise cost the open window megabytes.
template <typename Dialog>
Dialog& CTavrikDlg::MadeOnFirstUse(Dialog*& dialog, const std::filesystem::path& skinFile) {
    if (dialog == nullptr) {
        dialog = new Dialog(m_editor, {skinFile, m_paths.skinFolder, m_paths.appFolder}, this);
        connect(dialog, &Dialog::helpRequested, this, [this] { RunCommand(ID_HELP); });
    }
    return *dialog;
}

AssignmentDialog& CTavrikDlg::Assignment() {
    return MadeOnFirstUse(m_assignment, m_paths.compositeSkinFile);
}

ProfileManagerDialog& CTavrikDlg::ProfileManager() {
    return MadeOnFirstUse(m_profileManager, m_paths.profileSkinFile);
}

PendingChangesDialog& CTavrikDlg::PendingChanges() {
    if (m_pendingChanges == nullptr) {
        m_pendingChanges = new PendingChangesDialog(this);
        m_pendingChanges->ShowLines(m_pendingLines);
        connect(m_pendingChanges, &PendingChangesDialog::revertAllRequested, this,
                [this] { m_editor.PostRevertAll(); });
    }
    return *m_pendingChanges;
}

void CTavrikDlg::CreateUndoActions() {
    // Window shortcuts: they work wherever the focus is in this window, and not while a modal
    // dialog (the assignment dialog has its own) is in front of it.
    const UndoActions actions = AddUndoActions(*this);
    m_undoAction = actions.undo;
    m_redoAction = actions.redo;
    connect(m_undoAction, &QAction::triggered, this, [this] { RunCommand(ID_MENU_UNDO); });
    connect(m_redoAction, &QAction::triggered, this, [this] { RunCommand(ID_MENU_REDO); });
    ShowUndoNames({});
}

void CTavrikDlg::ShowUndoNames(const UndoNames& names) {
    m_undoAction->setText(QString::fromStdU16String(UndoMenuText(names.undo.toStdU16String())));
    m_undoAction->setEnabled(!names.undo.isEmpty());
    m_redoAction->setText(QString::fromStdU16String(RedoMenuText(names.redo.toStdU16String())));
    m_redoAction->setEnabled(!names.redo.isEmpty());
}

void CTavrikDlg::ShowPendingChanges() {
    PendingChangesDialog& dialog = PendingChanges();
    if (!dialog.isVisible()) {
        // At the bottom of the window, over the lighting panel: the keys it lists stay in
        // sight with their marks.
        constexpr int kMargin = 16;
        const QPoint bottomCentre = mapToGlobal(QPoint(width() / 2, height() - kMargin));
        dialog.move(bottomCentre - QPoint(dialog.width() / 2, dialog.height()));
    }
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void CTavrikDlg::ConnectEditor() {
    // Every signal comes from a worker thread and is queued to this window's thread.
    connect(&m_editor, &KeyboardEditor::keyButtonsDescribed, this, &CTavrikDlg::ShowKeyButtonLooks);
    connect(&m_editor, &KeyboardEditor::applyEnabledChanged, this, [this](bool on) {
        m_applyEnabled = on;
        if (IsInitialised())
            ButtonSlot(ID_APPLY).setEnabled(on);
    });
    connect(&m_editor, &KeyboardEditor::activeProfileChanged, this,
            &CTavrikDlg::MarkCurrentProfileButton);
    connect(&m_editor, &KeyboardEditor::profileCaptionChanged, this,
            &CTavrikDlg::ShowProfileCaption);
    connect(&m_editor, &KeyboardEditor::hideRequested, this, [this] {
        if (m_assignment != nullptr)
            m_assignment->reject(); // the keyboard it edits is gone
        hide();
    });
    connect(&m_editor, &KeyboardEditor::trayStateRequested, this, &CTavrikDlg::SetTrayState);
    connect(&m_editor, &KeyboardEditor::keyboardAccessRecheckRequested, this,
            &CTavrikDlg::ShowKeyboardAccess);
    connect(&m_editor, &KeyboardEditor::bankLookChanged, this, &CTavrikDlg::ShowBank);
    connect(&m_editor, &KeyboardEditor::lightingRereadRequested, m_lightingTimer,
            qOverload<>(&QTimer::start));
    connect(&m_editor, &KeyboardEditor::lightingStateRead, this,
            [this](const LightingState& state) {
                m_lightingState = state;
                if (m_lightingPanel != nullptr)
                    m_lightingPanel->Refresh(state);
            });
    connect(&m_editor, &KeyboardEditor::undoNamesChanged, this, &CTavrikDlg::ShowUndoNames);
    connect(&m_editor, &KeyboardEditor::pendingChangesListed, this,
            [this](const QStringList& lines) {
                m_pendingLines = lines;
                if (m_pendingChanges != nullptr)
                    m_pendingChanges->ShowLines(lines);
            });
    connect(&m_editor, &KeyboardEditor::busyChanged, this, [this](bool busy) {
        if (m_busy != nullptr)
            m_busy->SetBusy(busy);
    });
}

CTavrikDlg::~CTavrikDlg() = default;

void CTavrikDlg::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    LoadButtonPictures();
    m_link = QString::fromStdString(SkinLinkAddress(Skin(), m_paths.appFolder));
    m_changeMark = QColor::fromRgb(SkinChangeMarkColour(Skin()));
    PlaceButtons();
    PlaceArrows();
    ApplyFlip();
    ShowBank(m_editor.BankB());
    PlaceLightingPanel();
    PlaceBusyIndicator();
    QList<KeyButtonLook> looks;
    for (const auto& [id, look] : m_keyLooks)
        looks.push_back(look);
    ShowKeyButtonLooks(looks);
    StartInTray();
}

void CTavrikDlg::StartInTray() {
    if (m_startedInTray)
        return;
    m_startedInTray = true;
    // The program starts hidden and may stay so all day: the skin's pictures are decoded when
    // the window is first shown, but a skin that lacks one ends the program now, not then.
    RequireButtonPictures();
    // The rest waits for the event loop, as a message posted to the window would.
    QTimer::singleShot(0, this, &CTavrikDlg::FinishInitialisation);
}

void CTavrikDlg::RequireButtonPictures() const {
    for (const std::string_view picture :
         {skin::kMainNormal, skin::kMainOver, skin::kMainDown, skin::kMainDisable, skin::kArrow,
          skin::kMainColor0, skin::kMainColor1}) {
        const std::filesystem::path file = m_paths.appFolder / picture;
        if (!std::filesystem::is_regular_file(file))
            EndProcessForMissingPicture(file);
    }
}

void CTavrikDlg::LoadButtonPictures() {
    const auto load = [this](std::string_view picture) {
        const SkinSurface* surface = SharedSkinSurface(m_paths.appFolder, picture);
        if (surface == nullptr) {
            EndProcessForMissingPicture(m_paths.appFolder / picture);
        }
        return surface;
    };
    m_normal = load(skin::kMainNormal);
    m_over = load(skin::kMainOver);
    m_down = load(skin::kMainDown);
    m_disable = load(skin::kMainDisable);
    m_arrow = load(skin::kArrow);
}

StateImages CTavrikDlg::LooksFor(MainLooks looks) const {
    switch (looks) {
    case MainLooks::Link:
        return {m_normal, m_over, m_disable, m_normal, m_normal};
    case MainLooks::Command:
        return {m_normal, m_over, m_down, m_normal, m_normal};
    case MainLooks::Apply:
        return {m_normal, m_over, m_down, m_disable, m_normal};
    case MainLooks::Indicator:
        return {m_normal, m_normal, m_normal, m_normal, m_over};
    case MainLooks::FlipLamp:
        return {m_normal, m_normal, m_normal, m_normal, m_disable};
    case MainLooks::Toggle:
        return {m_normal, m_over, m_down, m_normal, m_disable};
    case MainLooks::Plate:
        break;
    }
    return {m_normal, m_normal, m_normal, m_normal, m_normal};
}

CPngButton& CTavrikDlg::ButtonSlot(int controlId) {
    CPngButton*& button = m_buttons[controlId];
    if (button == nullptr) {
        button = new CPngButton(this);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QAbstractButton::clicked, this,
                [this, controlId] { RunCommand(controlId); });
    }
    return *button;
}

void CTavrikDlg::PlaceButtons() {
    for (const KeyButton& key : KeyButtons()) {
        CPngButton& button = ButtonSlot(key.controlId);
        PlaceImageButton(button, Skin(), skin::kButtonInfo, KeyButtonSkinKey(key.scan),
                         LooksFor(MainLooks::Toggle));
        const QString name = QString::fromStdU16String(KeyNameFromScan(key.scan));
        button.SetTooltip(name);
        button.setAccessibleName(name);
    }
    for (const MainControl& control : MainWindowControls()) {
        CPngButton* button = &ButtonSlot(control.id);
        PlaceImageButton(*button, Skin(), skin::kButtonInfo, control.skinKey,
                         LooksFor(control.looks));
        button->SetTooltip(QString::fromStdU16String(std::u16string(control.tooltip)));
        button->setAccessibleName(QString::fromStdU16String(
            std::u16string(control.tooltip.empty() ? control.caption : control.tooltip)));
        if (control.alwaysDisabled) {
            button->setEnabled(false);
        }
    }
    m_buttons.at(ID_LINK)->setAccessibleName(m_link);
    CPngButton* profileName = m_buttons.at(ID_PROFILE_NAME);
    profileName->SetTextStyle(true, 9, QStringLiteral("Arial"), QColor::fromRgb(kCaptionColour));
    ShowProfileCaption(m_profileCaption, m_profileTooltip);
    MarkCurrentProfileButton(m_activeProfileIndex);
    m_buttons.at(ID_APPLY)->setEnabled(m_applyEnabled);
}

void CTavrikDlg::PlaceLightingPanel() {
    static_assert(kReportRateButtonIds.size() == kReportRateButtons);
    std::array<CPngButton*, kReportRateButtons> reportRate{};
    for (size_t index = 0; index < reportRate.size(); ++index)
        reportRate[index] = m_buttons.at(kReportRateButtonIds[index]);
    m_lightingPanel = new LightingPanel(m_editor, Skin(), m_paths.skinFolder, std::move(m_settings),
                                        reportRate, *this);
    connect(m_lightingPanel, &LightingPanel::keyLookChanged, this, &CTavrikDlg::ShowKeyLook);
    connect(m_lightingPanel, &LightingPanel::allKeysTinted, this,
            [this](bool lit) { ColourAllKeyButtons(lit ? Qt::white : Qt::black); });
    if (m_lightingState)
        m_lightingPanel->Refresh(*m_lightingState);
}

void CTavrikDlg::PlaceBusyIndicator() {
    m_busy = new BusyIndicator(BusyFrames(m_paths.skinFolder), this);
    const SkinRect rect = ReadSkinRect(Skin(), skin::kButtonInfo, kBusyIndicatorKey);
    m_busy->setGeometry(rect.x, rect.y, rect.width, rect.height);
}

void CTavrikDlg::PlaceArrows() {
    const bool flip = m_preferences.Flip();
    const std::pair<int, std::u16string_view> arrows[] = {{ID_LEFT_ARROW, kLeftArrowKey},
                                                          {ID_RIGHT_ARROW, kRightArrowKey}};
    for (const auto& [id, key] : arrows) {
        CPngButton& button = ButtonSlot(id);
        const std::u16string side = id == ID_LEFT_ARROW ? u"LEFT" : u"RIGHT";
        const std::u16string pictureKey = (flip ? u"UP_ARROW_" : u"DOWN_ARROW_") + side + u"1";
        PlaceImageButtonFrom(button, Skin(), skin::kButtonInfo, key, skin::kButtonInfo2, pictureKey,
                             m_arrow);
        button.setEnabled(false);
        button.setAccessibleName(id == ID_LEFT_ARROW ? QStringLiteral("LArr")
                                                     : QStringLiteral("RArr"));
    }
}

CPngButton* CTavrikDlg::Button(int controlId) const {
    const auto found = m_buttons.find(controlId);
    return found == m_buttons.end() ? nullptr : found->second;
}

void CTavrikDlg::FinishInitialisation() {
    if (m_exited) {
        return;
    }
    m_trayIcon.Create(kTrayTooltip, kIconNoKeyboard);
    ShowKeyboardAccess();
    // Nothing waits on these events; they come after the icon, which the user does wait for.
    m_state.namedEvents = std::make_unique<NamedEventSet>();
    m_editor.PostProfileCaption();
    m_ready = true;
    m_editor.SetReady();
    hide();
}

void CTavrikDlg::RunCommand(int commandId) {
    switch (commandId) {
    case ID_CANCEL:
    case ID_CLOSE:
    case ID_MENU_CLOSE:
        hide();
        break;
    case ID_MINIMIZE:
        showMinimized();
        break;
    case ID_HELP:
        OpenPage(QUrl::fromLocalFile(
            QString::fromStdString((m_paths.helpFolder / "index.html").string())));
        break;
    case ID_LINK:
        OpenPage(QUrl(m_link));
        break;
    case ID_MENU:
        ShowButtonMenu();
        break;
    case ID_TRAY_OPEN:
        Open();
        break;
    case ID_TRAY_ABOUT:
        ShowAbout();
        break;
    case ID_TRAY_EXIT:
        Exit();
        break;
    case ID_BANK_LAMP:
        // The bank lamp only shows which bank the keyboard uses.
        break;
    default:
        RunKeyboardCommand(commandId);
        break;
    }
}

void CTavrikDlg::RunKeyboardCommand(int commandId) {
    switch (commandId) {
    case ID_OK:
        ApplyThenHide();
        break;
    case ID_APPLY:
        m_editor.PostApply();
        break;
    case ID_FLIP_1:
    case ID_FLIP_2:
        m_preferences.ToggleFlip();
        ApplyFlip();
        break;
    case ID_DEFAULT:
        RestoreDefaults();
        break;
    case ID_PROFILE_NAME:
        ProfileManager().OpenManager();
        break;
    case ID_MENU_IMPORT:
        ImportProfileFile();
        break;
    case ID_MENU_EXPORT:
        ExportProfileFile();
        break;
    case ID_MENU_UNDO:
        m_editor.PostUndo();
        break;
    case ID_MENU_REDO:
        m_editor.PostRedo();
        break;
    case ID_MENU_PENDING:
        ShowPendingChanges();
        break;
    default:
        if (commandId >= ID_PROFILE_1 && commandId < ID_PROFILE_1 + kHardwareProfiles)
            SwitchProfile(commandId - ID_PROFILE_1);
        else if (const auto rate = std::ranges::find(kReportRateButtonIds, commandId);
                 rate != kReportRateButtonIds.end())
            m_lightingPanel->ChooseReportRate(
                static_cast<int>(rate - kReportRateButtonIds.begin()) + 1);
        else
            RouteClick(commandId);
        break;
    }
}

void CTavrikDlg::ApplyThenHide() {
    m_editor.PostApply();
    hide();
}

void CTavrikDlg::RouteClick(int buttonId) {
    const KeyClickRoute route =
        RouteKeyClick(buttonId, m_lightingPanel->EditMode(), m_editor.BankB());
    if (route.action == KeyClickAction::Paint)
        PaintKey(buttonId);
    else if (route.action == KeyClickAction::Assign)
        emit assignmentRequested(route, buttonId);
}

void CTavrikDlg::PaintKey(int buttonId) {
    const std::optional<bool> lit = m_lightingPanel->PaintKey(PositionFromButton(buttonId));
    if (!lit)
        return;
    CPngButton& button = ButtonSlot(buttonId);
    button.SetTint(*lit ? Qt::white : Qt::black, true);
    button.SetLit(*lit);
}

void CTavrikDlg::SwitchProfile(int index) {
    // A profile button ends the lighting edit mode whether or not it switches.
    if (m_lightingPanel->EditMode())
        m_lightingPanel->EndEditMode();
    m_editor.PostSwitchProfile(index);
}

void CTavrikDlg::RestoreDefaults() {
    if (!AskProgramQuestion(this, FromView(kRestoreDefaultsQuestion)))
        return;
    m_editor.PostRestoreDefaults(m_lightingPanel->EditMode());
}

void CTavrikDlg::ShowButtonMenu() {
    QMenu menu(this);
    const auto add = [this, &menu](const QString& text, int commandId) {
        connect(menu.addAction(text), &QAction::triggered, this,
                [this, commandId] { RunCommand(commandId); });
    };
    menu.addAction(m_undoAction);
    menu.addAction(m_redoAction);
    add(QStringLiteral("待应用的更改..."), ID_MENU_PENDING);
    menu.addSeparator();
    add(QStringLiteral("还原"), ID_MENU_IMPORT);
    add(QStringLiteral("备份"), ID_MENU_EXPORT);
    menu.addSeparator();
    add(QStringLiteral("关于"), ID_TRAY_ABOUT);
    add(QStringLiteral("关闭"), ID_MENU_CLOSE);
    menu.exec(QCursor::pos());
}

void CTavrikDlg::ImportProfileFile() {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), kBackupFilters);
    if (!path.isEmpty())
        m_editor.PostImport(path.toStdU16String());
}

void CTavrikDlg::ExportProfileFile() {
    QFileDialog dialog(this, QString(), QString(), kBackupFilters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("tvk"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter == kProfileTextFilter ? QStringLiteral("txt")
                                                             : QStringLiteral("tvk"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    m_editor.PostExport(path.toStdU16String(), BackupFormOf(path));
}

void CTavrikDlg::ApplyFlip() {
    const bool flip = m_preferences.Flip();
    for (int id = ID_F1; id <= ID_F4; ++id)
        ButtonSlot(id).setEnabled(!flip);
    LightLamp(ID_FLIP_LAMP, MainLooks::FlipLamp, flip);
    PlaceArrows();
}

void CTavrikDlg::LightLamp(int controlId, MainLooks looks, bool on) {
    // Lamps are disabled, and a disabled button shows its disabled picture: a lit lamp shows its
    // lit picture in every state.
    const StateImages normal = LooksFor(looks);
    const SkinSurface* lit = normal.lit;
    ButtonSlot(controlId).SetStateImages(on ? StateImages{lit, lit, lit, lit, lit} : normal);
}

void CTavrikDlg::ShowBank(bool bankB) {
    if (!IsInitialised())
        return; // shown when the window is built
    LightLamp(ID_BANK_LAMP, MainLooks::Indicator, bankB);
    // G1-G5 are named after the bank in force; the skin's pictures show the key, the caption is
    // what screen readers say. G6-G9 have no function in either bank.
    const QString bank = bankB ? QStringLiteral("B") : QStringLiteral("A");
    for (size_t index = 0; index < kMacroKeyButtons.size(); ++index) {
        CPngButton& button = ButtonSlot(kMacroKeyButtons[index]);
        const QString caption = index < kNamedGKeys ? bank + QString::number(index + 1) : QString();
        button.setText(caption);
        button.setAccessibleName(caption.isEmpty() ? QStringLiteral("G%1").arg(index + 1)
                                                   : caption);
    }
}

void CTavrikDlg::ShowKeyButtonLooks(const QList<KeyButtonLook>& looks) {
    for (const KeyButtonLook& look : looks) {
        m_keyLooks[look.buttonId] = look;
        if (CPngButton* button = Button(look.buttonId)) {
            const QString tooltip = look.change.isEmpty()
                                        ? look.description
                                        : look.description + QStringLiteral("\n") + look.change;
            button->SetTooltip(tooltip);
            button->setAccessibleDescription(tooltip);
            button->SetCornerMark(look.change.isEmpty() ? QColor() : m_changeMark);
            // In the per-key lighting look the lit flag shows the key's light instead.
            if (!m_perKeyLook)
                button->SetLit(look.assigned);
        }
    }
}

std::vector<int> CTavrikDlg::KeyboardPictureButtons() const {
    std::vector<int> ids;
    for (const KeyButton& key : KeyButtons())
        ids.push_back(key.controlId);
    ids.insert(ids.end(), kMacroKeyButtons.begin(), kMacroKeyButtons.end());
    ids.push_back(kFnButtonId);
    return ids;
}

void CTavrikDlg::ShowKeyLook(bool perKey, const KeyColourTable& colours) {
    m_perKeyLook = perKey;
    for (const int id : KeyboardPictureButtons()) {
        CPngButton& button = ButtonSlot(id);
        if (!perKey) {
            button.SetTint(QColor(), false);
            const auto look = m_keyLooks.find(id);
            button.SetLit(look != m_keyLooks.end() && look->second.assigned);
            continue;
        }
        // A key lit by the tool shows white, a dark key black; the G keys cannot be painted.
        const bool paintable = !std::ranges::count(kMacroKeyButtons, id);
        const uint8_t first = colours.FirstByte(PositionFromButton(id));
        if (paintable && (first == kKeyLitByTool || first == kKeyDark)) {
            button.SetTint(first == kKeyLitByTool ? Qt::white : Qt::black, true);
            button.SetLit(first == kKeyLitByTool);
        }
    }
}

void CTavrikDlg::ColourAllKeyButtons(QColor colour) {
    for (const int id : KeyboardPictureButtons())
        ButtonSlot(id).SetTint(colour, true);
}

void CTavrikDlg::MarkCurrentProfileButton(int activeIndex) {
    if (activeIndex < 0 || activeIndex >= kHardwareProfiles)
        return;
    m_activeProfileIndex = activeIndex;
    if (!IsInitialised())
        return;
    for (int index = 0; index < kHardwareProfiles; ++index)
        ButtonSlot(ID_PROFILE_1 + index).SetLit(index == activeIndex);
}

void CTavrikDlg::ShowProfileCaption(const QString& caption, const QString& tooltip) {
    m_profileCaption = caption;
    m_profileTooltip = tooltip;
    if (!IsInitialised())
        return;
    CPngButton& button = ButtonSlot(ID_PROFILE_NAME);
    button.setText(caption);
    button.SetTooltip(tooltip);
}

void CTavrikDlg::Open() {
    if (m_exited)
        return;
    if (m_editor.KeyboardCount() == 0 && m_editor.KeyboardArriving()) {
        // Just started, or just plugged in: the keyboard is being read. Ask again shortly
        // rather than say there is none.
        QTimer::singleShot(kArrivalPollMs, this, &CTavrikDlg::Open);
        return;
    }
    if (m_editor.KeyboardCount() > 0) {
        InitDialog();
        showNormal();
        raise();
        activateWindow();
        return;
    }
    if (m_noKeyboardBox != nullptr) {
        m_noKeyboardBox->raise();
        return;
    }
    // Modal, but not a nested event loop: the hand-over and the tray keep being served.
    m_noKeyboardBox =
        new QMessageBox(QMessageBox::Information, QStringLiteral("VOLTRI VX60 Driver"),
                        NoKeyboardText(), QMessageBox::Ok);
    // The advice ends with a command to copy.
    m_noKeyboardBox->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_noKeyboardBox->setAttribute(Qt::WA_DeleteOnClose);
    m_noKeyboardBox->setWindowModality(Qt::ApplicationModal);
    m_noKeyboardBox->show();
}

void CTavrikDlg::OpenPage(const QUrl& page) {
    // Where the desktop has no program for web pages (no xdg-open, no browser), the user is told
    // where the page is instead of nothing happening.
    if (!QDesktopServices::openUrl(page))
        ShowProgramMessageLater(this, QStringLiteral("没有可以打开网页的程序，无法打开：\n%1")
                                          .arg(page.toDisplayString(QUrl::PreferLocalFile)));
}

void CTavrikDlg::ShowAbout() {
    if (m_about != nullptr) {
        return; // a second request while it is open does nothing
    }
    m_about = new CAboutDlg(m_icon, m_link);
    m_about->setAttribute(Qt::WA_DeleteOnClose);
    m_about->show();
}

void CTavrikDlg::Exit() {
    hide();
    if (m_exited) {
        return; // a second exit request during or after the first does nothing
    }
    m_exited = true;
    ExitSequence();
    CBaseDialog::reject(); // releases the face and ends the window's run
    emit exitFinished();
}

void CTavrikDlg::ExitSequence() {
    if (m_about != nullptr) {
        m_about->close();
    }
    if (m_noKeyboardBox != nullptr) {
        m_noKeyboardBox->close();
    }
    if (m_assignment != nullptr) {
        m_assignment->reject();
    }
    if (m_profileManager != nullptr) {
        m_profileManager->reject();
    }
    // The workers stop before any window goes; questions they were waiting on get no answer.
    m_editor.Close();
    m_instanceServer.Close();
    if (m_state.namedEvents) {
        m_state.namedEvents->Close();
    }
    m_trayIcon.Remove();
    m_trayState.Clear();
    if (IsInitialised())
        ButtonSlot(ID_APPLY).setEnabled(false);
}

void CTavrikDlg::HandleInstanceCommand(InstanceCommand command) {
    if (command == InstanceCommand::Open) {
        Open();
    } else if (command == InstanceCommand::Kill) {
        Exit();
    }
}

void CTavrikDlg::SetTrayState(int mode, int iconId) {
    if (const std::optional<int> icon = m_trayState.SetTrayState(mode, iconId)) {
        m_trayIcon.SetIcon(*icon);
    }
    ShowKeyboardAccess();
}

bool CTavrikDlg::KeyboardBlocked() const {
    return m_editor.KeyboardCount() == 0 && m_editor.KeyboardNotAccessible();
}

void CTavrikDlg::ShowKeyboardAccess() {
    m_trayIcon.SetKeyboardBlocked(KeyboardBlocked());
}

QString CTavrikDlg::NoKeyboardText() const {
    if (!KeyboardBlocked()) {
        return Utf8Text(kNoKeyboardText);
    }
    return QStringLiteral("键盘已连接，但当前用户无权打开它，无法显示按键设置。\n\n"
                          "软件包安装的规则 %1 允许在本机座席上的用户打开键盘。"
                          "请安装软件包（或把该规则复制到那里），运行下面的命令，"
                          "再重新插入键盘：\n\n%2")
        .arg(Utf8Text(kUdevRuleFile), Utf8Text(kApplyUdevRulesCommand));
}

void CTavrikDlg::accept() {
    hide();
}

void CTavrikDlg::reject() {
    hide();
}

void CTavrikDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape never press OK or Cancel.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

} // namespace tavrik
