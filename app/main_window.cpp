#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/app_icons.h"
#include "app/instance_server.h"
#include "app/process_state.h"
#include "skin/skin_failure.h"
#include "skin/skin_keys.h"
#include "skin/skin_names.h"
#include "skin/skin_placement.h"
#include "skin/skin_texts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QSettings>
#include <QTimer>
#include <QUrl>

namespace tavrik {
namespace {

constexpr std::u16string_view kLeftArrowKey = u"LEFT_ARROW";
constexpr std::u16string_view kRightArrowKey = u"RIGHT_ARROW";
const QString kTrayTooltip = QStringLiteral("游戏键盘");
const QString kDefaultProfileCaption = QStringLiteral("<默认情景模式>");
constexpr QRgb kCaptionColour = 0xE4E4E4;

// "Flip" of the stored preferences: anything but 1 reads as 0.
bool FlipIsOn() {
    QSettings settings;
    return settings.value(QStringLiteral("PROFILES/Flip"), QStringLiteral("0")).toString() ==
           QStringLiteral("1");
}

} // namespace

CTavrikDlg::CTavrikDlg(ProcessState& state, AppPaths paths, InstanceServer& instanceServer)
    : CBaseDialog(paths.mainSkinFile, paths.skinFolder)
    , m_state(state)
    , m_paths(std::move(paths))
    , m_instanceServer(instanceServer)
    , m_trayIcon(m_paths.iconFolder)
    , m_icon(LoadAppIcon(m_paths.iconFolder, kIconNoKeyboard)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("游戏键盘设定"));
    setWindowIcon(m_icon);
    connect(&m_trayIcon, &CTrayIcon::commandChosen, this, &CTavrikDlg::RunCommand);
}

CTavrikDlg::~CTavrikDlg() = default;

void CTavrikDlg::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    LoadButtonPictures();
    m_link = QString::fromStdString(SkinLinkAddress(Skin(), m_paths.appFolder));
    PlaceButtons();
    PlaceArrows();
    m_state.namedEvents = std::make_unique<NamedEventSet>();
    // The rest waits for the event loop, as a message posted to the window would.
    QTimer::singleShot(0, this, &CTavrikDlg::FinishInitialisation);
}

void CTavrikDlg::LoadButtonPictures() {
    const auto load = [this](std::string_view picture) {
        const QImage* surface = SharedImageSurface(m_paths.appFolder, picture, size());
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
    load(skin::kMainColor0);
    load(skin::kMainColor1);
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
        connect(button, &QAbstractButton::clicked, this,
                [this, controlId] { RunCommand(controlId); });
    }
    return *button;
}

void CTavrikDlg::PlaceButtons() {
    for (const KeyButton& key : KeyButtons()) {
        PlaceImageButton(ButtonSlot(key.controlId), Skin(), skin::kButtonInfo,
                         KeyButtonSkinKey(key.scan), LooksFor(MainLooks::Toggle));
    }
    for (const MainControl& control : MainWindowControls()) {
        CPngButton* button = &ButtonSlot(control.id);
        PlaceImageButton(*button, Skin(), skin::kButtonInfo, control.skinKey,
                         LooksFor(control.looks));
        button->SetTooltip(QString::fromStdU16String(std::u16string(control.tooltip)));
        if (control.alwaysDisabled) {
            button->setEnabled(false);
        }
    }
    CPngButton* profileName = m_buttons.at(ID_PROFILE_NAME);
    profileName->setText(kDefaultProfileCaption);
    profileName->SetTextStyle(true, 9, QStringLiteral("Arial"), QColor::fromRgb(kCaptionColour));
    profileName->SetTooltip(QStringLiteral("当前情景模式: ") + kDefaultProfileCaption);
    // Nothing is modified yet: Apply starts disabled.
    m_buttons.at(ID_APPLY)->setEnabled(false);
}

void CTavrikDlg::PlaceArrows() {
    const bool flip = FlipIsOn();
    const std::pair<int, std::u16string_view> arrows[] = {{ID_LEFT_ARROW, kLeftArrowKey},
                                                          {ID_RIGHT_ARROW, kRightArrowKey}};
    for (const auto& [id, key] : arrows) {
        CPngButton& button = ButtonSlot(id);
        const std::u16string side = id == ID_LEFT_ARROW ? u"LEFT" : u"RIGHT";
        const std::u16string pictureKey = (flip ? u"UP_ARROW_" : u"DOWN_ARROW_") + side + u"1";
        PlaceImageButtonFrom(button, Skin(), skin::kButtonInfo, key, skin::kButtonInfo2, pictureKey,
                             m_arrow);
        button.setEnabled(false);
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
    m_ready = true;
    hide();
}

void CTavrikDlg::RunCommand(int commandId) {
    switch (commandId) {
    case ID_OK:
    case ID_CANCEL:
    case ID_CLOSE:
        hide();
        break;
    case ID_MINIMIZE:
        showMinimized();
        break;
    case ID_HELP:
        QDesktopServices::openUrl(QUrl::fromLocalFile(
            QString::fromStdString((m_paths.helpFolder / "index.html").string())));
        break;
    case ID_LINK:
        QDesktopServices::openUrl(QUrl(m_link));
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
    default:
        // ID_TRAY_STOP_MACRO: macros play on the keyboard itself; the computer has nothing to
        // stop. The remaining buttons belong to the editors built on this window.
        break;
    }
}

void CTavrikDlg::Open() {
    if (m_state.keyboards.Count() > 0) {
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
    m_noKeyboardBox = new QMessageBox(
        QMessageBox::Information, QStringLiteral("VOLTRI VX60 Driver"),
        QString::fromUtf8(kNoKeyboardText.data(), static_cast<qsizetype>(kNoKeyboardText.size())),
        QMessageBox::Ok);
    m_noKeyboardBox->setAttribute(Qt::WA_DeleteOnClose);
    m_noKeyboardBox->setWindowModality(Qt::ApplicationModal);
    m_noKeyboardBox->show();
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
    m_instanceServer.Close();
    if (m_state.namedEvents) {
        m_state.namedEvents->Close();
    }
    m_trayIcon.Remove();
    m_trayState.Clear();
    m_buttons.at(ID_APPLY)->setEnabled(false);
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
