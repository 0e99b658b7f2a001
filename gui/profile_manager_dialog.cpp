#include "gui/profile_manager_dialog.h"

#include "gui/profile_file_dialogs.h"
#include "gui/profile_manager_list.h"
#include "profile/native_path.h"
#include "profile/profile_messages.h"
#include "skin/skin_failure.h"
#include "skin/skin_names.h"
#include "skin/skin_placement.h"

#include <QKeyEvent>
#include <QPointer>

namespace tavrik {
namespace {

using namespace profile_manager_id;

struct ManagerButton {
    int id;
    std::u16string_view skinKey;
    std::u16string_view caption; // what screen readers say; the pictures show the words
};

constexpr ManagerButton kManagerButtons[] = {
    {kAdd, u"FUNC_ADD", u"添加"},          {kLoad, u"FUNC_LOAD", u"载入"},
    {kDelete, u"FUNC_DELETE", u"删除"},    {kOk, u"CONTROL_OK", u"确定"},
    {kCancel, u"CONTROL_CANCEL", u"取消"}, {kApply, u"CONTROL2_APPLY", u"应用"},
};
constexpr std::u16string_view kListKey = u"PROGRAM_LIST";

// The list on the skin's dark face.
const QString kStyle = QStringLiteral(
    "QTableWidget { background: #101216; color: #e6e9ef; border: 1px solid #353a46;"
    " gridline-color: #2b2f3a; selection-background-color: #1e3a44; selection-color: #e6e9ef; }"
    "QHeaderView { background: #1b1e25; }"
    "QHeaderView::section { background: #1b1e25; color: #8a919e; border: none;"
    " border-right: 1px solid #2b2f3a; border-bottom: 1px solid #2b2f3a; padding-left: 4px; }"
    "QTableWidget::indicator { width: 13px; height: 13px; border-radius: 3px;"
    " border: 1px solid #4b5260; background: #1b1e25; }"
    "QTableWidget::indicator:checked { background: #22d3ee; border-color: #22d3ee; }");

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ProfileManagerDialog::ProfileManagerDialog(KeyboardEditor& editor, DialogSkinPaths skin,
                                           QWidget* parent)
    : CBaseDialog(skin.skinFile, skin.skinFolder, parent)
    , m_editor(editor)
    , m_skinPaths(std::move(skin))
    , m_list(new ProfileManagerList(this)) {
    setWindowTitle(QStringLiteral("情景模式管理"));
    setStyleSheet(kStyle);
    CreateButtons();
    connect(m_list, &ProfileManagerList::checkToggled, this, &ProfileManagerDialog::ToggleCheck);
    m_model.SetChangedCallback([this] { ShowModel(); });
    // Queued from the keyboard worker: the keyboard whose profiles are listed is gone.
    connect(&m_editor, &KeyboardEditor::hideRequested, this, [this] {
        if (m_model.IsOpen())
            reject();
    });
}

void ProfileManagerDialog::CreateButtons() {
    for (const ManagerButton& control : kManagerButtons) {
        auto* button = new CPngButton(this);
        button->setFocusPolicy(Qt::TabFocus);
        button->setText(Text(control.caption));
        button->setAccessibleName(Text(control.caption));
        const int id = control.id;
        connect(button, &QAbstractButton::clicked, this, [this, id] { RunCommand(id); });
        m_buttons[id] = button;
    }
}

CPngButton* ProfileManagerDialog::Button(int id) const {
    const auto found = m_buttons.find(id);
    return found == m_buttons.end() ? nullptr : found->second;
}

const StoragePaths& ProfileManagerDialog::Storage() const {
    return m_editor.Stack().Store().Paths();
}

void ProfileManagerDialog::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    PlaceControls();
}

void ProfileManagerDialog::PlaceControls() {
    const LoadedStateImages loaded = LoadStateImages(m_skinPaths.appFolder, skin::kProfilePictures);
    if (!loaded.missing.empty())
        EndProcessForMissingPicture(m_skinPaths.appFolder / loaded.missing);
    for (const ManagerButton& control : kManagerButtons) {
        CPngButton& button = *Button(control.id);
        button.setEnabled(true);
        PlaceImageButton(button, Skin(), skin::kButtonInfo, control.skinKey, loaded.images);
    }
    PlaceControl(*m_list, Skin(), skin::kButtonInfo, kListKey);
}

void ProfileManagerDialog::OpenManager() {
    if (m_model.IsOpen())
        return;
    ++m_openings;
    m_model.Open(m_editor.Stack().Keyboard().CachedActiveProfileIndex(), Storage());
    InitDialog();
    ShowModel();
    m_list->clearSelection(); // "删除" removes nothing until the user selects a row
    open();                   // modal over the main window, without an event loop of its own
    raise();
    activateWindow();
}

void ProfileManagerDialog::RunCommand(int id) {
    if (!m_model.IsOpen())
        return;
    switch (id) {
    case kOk:
        accept();
        return;
    case kCancel:
        reject();
        return;
    default:
        break;
    }
    if (m_applying)
        return; // the rows being applied stay as they are until the keyboard has answered
    switch (id) {
    case kAdd:
        AddProfile();
        break;
    case kLoad:
        LoadProfile();
        break;
    case kDelete:
        DeleteSelectedRow();
        break;
    case kApply:
        Apply(false);
        break;
    default:
        break;
    }
}

void ProfileManagerDialog::AddProfile() {
    EnsureStorageFolder(Storage());
    ChooseNewProfileFile(*this, ProfileManagerModel::NewProfileSuggestion(Storage()),
                         [this](const std::filesystem::path& file) {
                             if (!m_model.AddNewProfile(file))
                                 m_editor.ShowMessage(
                                     std::u16string(profile_text::kCannotWriteFile) +
                                     PathText(file));
                         });
}

void ProfileManagerDialog::LoadProfile() {
    EnsureStorageFolder(Storage());
    ChooseProfileFileToLoad(*this, Storage().folder, [this](const std::filesystem::path& file) {
        m_model.AppendProfile(file);
    });
}

void ProfileManagerDialog::DeleteSelectedRow() {
    const std::optional<size_t> selected = m_list->SelectedRow();
    if (!selected)
        return;
    if (const std::optional<size_t> next = m_model.DeleteRow(*selected))
        m_list->selectRow(static_cast<int>(*next));
}

void ProfileManagerDialog::ToggleCheck(size_t row) {
    if (m_applying || row >= m_model.Rows().size())
        return;
    m_model.SetChecked(row, !m_model.Rows()[row].checked);
}

void ProfileManagerDialog::Apply(bool closeAfter) {
    m_applying = true;
    m_closeAfterApply = closeAfter;
    ShowModel();
    QPointer<ProfileManagerDialog> self(this);
    const int opening = m_openings;
    m_editor.PostProfileManagerApply({m_model.RowPaths(), m_model.FirstCheckedRow()},
                                     [self, opening](bool applied) {
                                         if (self != nullptr)
                                             self->ApplyFinished(applied, opening);
                                     });
}

void ProfileManagerDialog::ApplyFinished(bool applied, int opening) {
    m_applying = false;
    const bool close = std::exchange(m_closeAfterApply, false);
    if (!m_model.IsOpen())
        return;
    if (!applied || opening != m_openings) {
        ShowModel(); // still modified after a refusal: the user may choose another row
        return;
    }
    m_model.ClearModified();
    if (close) {
        Close();
        CBaseDialog::accept();
    }
}

void ProfileManagerDialog::ShowModel() {
    m_list->ShowRows(m_model.Rows());
    m_list->setEnabled(!m_applying);
    Button(kApply)->setEnabled(m_model.IsModified() && !m_applying);
}

void ProfileManagerDialog::accept() {
    if (m_applying) {
        m_closeAfterApply = true;
        return;
    }
    if (m_model.IsOpen() && m_model.IsModified()) {
        Apply(true);
        return;
    }
    Close();
    CBaseDialog::accept();
}

void ProfileManagerDialog::reject() {
    Close();
    CBaseDialog::reject();
}

void ProfileManagerDialog::Close() {
    // A file dialog still open belongs to this opening only.
    for (QDialog* child : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        child->reject();
    if (m_model.IsOpen())
        m_model.Close();
    m_closeAfterApply = false;
}

bool ProfileManagerDialog::event(QEvent* event) {
    // Back from elsewhere (a file manager, perhaps): the rows' files may have gone or changed.
    if (event->type() == QEvent::WindowActivate && m_model.IsOpen())
        m_model.RecheckFiles();
    return CBaseDialog::event(event);
}

void ProfileManagerDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        emit helpRequested();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

} // namespace tavrik
