#include "gui/assignment_dialog.h"

#include "assign/key_function_tables.h"
#include "gui/dialog_placement.h"
#include "gui/key_event_tap.h"
#include "gui/macro_tab.h"
#include "gui/message_boxes.h"
#include "history/step_names.h"
#include "skin/skin_failure.h"
#include "skin/skin_placement.h"
#include "widgets/undo_shortcuts.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QSignalBlocker>

namespace tavrik {
namespace {

using namespace composite_id;

constexpr int kKeyFieldFontPoints = 18;
constexpr int kListFontPoints = 12;
const QString kFontFace = QStringLiteral("Verdana");
const QString kOnScreenKeyboardProgram = QStringLiteral("onboard");

// Lists, boxes and captions on the skin's dark face.
const QString kStyle =
    QStringLiteral("QLineEdit, QComboBox, QTableWidget { background: #101216; color: #e6e9ef;"
                   " border: 1px solid #353a46; selection-background-color: #1e3a44; }"
                   "QLineEdit#keyField { border: none; background: transparent; }"
                   "QComboBox QAbstractItemView { background: #101216; color: #e6e9ef; }"
                   "QHeaderView::section { background: #1b1e25; color: #8a919e; border: none;"
                   " border-bottom: 1px solid #2b2f3a; }"
                   "QCheckBox::indicator { width: 13px; height: 13px; border-radius: 3px;"
                   " border: 1px solid #4b5260; background: #1b1e25; }"
                   "QCheckBox::indicator:checked { background: #22d3ee; border-color: #22d3ee; }");

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* DropDownList(QWidget& dialog, const QString& name) {
    auto* list = new QComboBox(&dialog);
    list->setFont(QFont(kFontFace, kListFontPoints));
    list->setAccessibleName(name);
    return list;
}

void SelectRow(QComboBox& list, uint32_t row) {
    const QSignalBlocker blocker(&list);
    list.setCurrentIndex(row < static_cast<uint32_t>(list.count()) ? static_cast<int>(row) : -1);
}

bool IsEnterOrEscape(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ||
           event.key() == Qt::Key_Escape;
}

} // namespace

AssignmentDialog::AssignmentDialog(KeyboardEditor& editor, AssignmentSkin skin, QWidget* parent)
    : CBaseDialog(skin.skinFile, skin.skinFolder, parent)
    , m_editor(editor)
    , m_skinPaths(std::move(skin))
    , m_keyTap(new KeyEventTap(this)) {
    setWindowTitle(QStringLiteral("按键设置"));
    setStyleSheet(kStyle);
    CreateButtons();
    CreateFields();
    connect(m_keyTap, &KeyEventTap::keyTapped, this, &AssignmentDialog::KeyTapped);
    // Queued from the keyboard worker.
    connect(&m_editor, &KeyboardEditor::assignmentRead, this, &AssignmentDialog::OpenOn);
    connect(&m_editor, &KeyboardEditor::assignmentWritten, this,
            [this](const std::shared_ptr<const KeyFunctionLayers>& layers) {
                m_macroTab->SetLayers(layers);
            });
    const UndoActions actions = AddUndoActions(*this);
    m_undoAction = actions.undo;
    m_redoAction = actions.redo;
    connect(m_undoAction, &QAction::triggered, this, [this] { MoveInHistory(true); });
    connect(m_redoAction, &QAction::triggered, this, [this] { MoveInHistory(false); });
    connect(&m_editor, &KeyboardEditor::undoNamesChanged, this, [this](const UndoNames& names) {
        m_liveUndoNames = names;
        if (m_state)
            ShowUndoActions();
    });
    connect(&m_editor, &KeyboardEditor::historyMoved, this, [this] {
        if (!std::exchange(m_awaitingHistory, false) || !m_state)
            return;
        m_reopening = true;
        m_editor.PostReadAssignment(m_slot);
    });
}

AssignmentDialog::~AssignmentDialog() {
    // Closed before its widgets go: nothing they do on the way may reach a dialog half gone.
    Close();
    m_macroTab->disconnect(this);
}

void AssignmentDialog::CreateButtons() {
    for (const CompositeControl& control : CompositeControls()) {
        if (!control.pictures)
            continue;
        auto* button = new CPngButton(this);
        button->setFocusPolicy(Qt::TabFocus);
        button->setText(Text(control.caption));
        button->setAccessibleName(Text(control.caption));
        button->SetTooltip(Text(control.tooltip));
        const int id = control.id;
        connect(button, &QAbstractButton::clicked, this, [this, id] { RunCommand(id); });
        m_buttons[id] = button;
        m_controls[id] = button;
    }
}

void AssignmentDialog::CreateFields() {
    m_keyField = new QLineEdit(this);
    m_keyField->setObjectName(QStringLiteral("keyField"));
    m_keyField->setReadOnly(true);
    m_keyField->setFocusPolicy(Qt::NoFocus);
    m_keyField->setAlignment(Qt::AlignCenter);
    m_keyField->setFont(QFont(kFontFace, kKeyFieldFontPoints));
    m_keyField->setAccessibleName(QStringLiteral("单键"));
    m_multimedia = DropDownList(*this, QStringLiteral("多媒体"));
    for (const MultimediaFunction& function : kMultimediaTable)
        m_multimedia->addItem(QString::fromStdU16String(KeyNameFromScan(function.scan)));
    m_functionKeys = DropDownList(*this, QStringLiteral("功能键"));
    for (size_t slot = 0; slot < kAssignableFunctionKeys; ++slot)
        m_functionKeys->addItem(Text(kFunctionKeyTable[slot]));
    connect(m_multimedia, &QComboBox::activated, this, [this](int row) {
        m_state->ChooseMultimediaRow(static_cast<uint32_t>(row));
        ShowChoice();
    });
    connect(m_functionKeys, &QComboBox::activated, this, [this](int slot) {
        m_state->ChooseFunctionKeySlot(static_cast<uint32_t>(slot));
        ShowChoice();
    });
    m_controls[kKeyField] = m_keyField;
    m_controls[kMultimediaList] = m_multimedia;
    m_controls[kFunctionKeyList] = m_functionKeys;
    m_macroTab = new MacroTab(*this, m_macroNames, [this](int id) { return Button(id); });
    m_controls.insert(m_macroTab->Fields().begin(), m_macroTab->Fields().end());
    connect(m_macroTab, &MacroTab::edited, this, [this] {
        m_state->MarkModified();
        ShowChoice();
    });
}

QWidget* AssignmentDialog::Control(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

CPngButton* AssignmentDialog::Button(int id) const {
    const auto found = m_buttons.find(id);
    return found == m_buttons.end() ? nullptr : found->second;
}

void AssignmentDialog::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    LoadPictures();
    PlaceControls();
}

void AssignmentDialog::LoadPictures() {
    for (const CompositePictures set :
         {CompositePictures::Key, CompositePictures::Macro, CompositePictures::Macro2,
          CompositePictures::Media, CompositePictures::Function}) {
        const LoadedStateImages loaded = LoadStateImages(m_skinPaths.appFolder, PicturesOf(set));
        if (!loaded.missing.empty())
            EndProcessForMissingPicture(m_skinPaths.appFolder / loaded.missing);
        m_pictures[set] = loaded.images;
    }
}

void AssignmentDialog::PlaceControls() {
    for (const CompositeControl& control : CompositeControls()) {
        if (control.pictures) {
            CPngButton& button = *Button(control.id);
            button.setEnabled(true);
            PlaceImageButton(button, Skin(), skin::kButtonInfo, control.skinKey,
                             m_pictures.at(*control.pictures));
        } else {
            PlaceControl(*Control(control.id), Skin(), skin::kButtonInfo, control.skinKey);
        }
    }
    // Skin surfaces, never pressed: the title and the page of the tab in force.
    Button(kTitle)->setEnabled(false);
    Button(kMask)->setEnabled(false);
}

void AssignmentDialog::Request(size_t slot, bool macroOnly, CPngButton* key) {
    if (IsOpenOrRequested() || key == nullptr)
        return;
    m_request = PendingRequest{slot, macroOnly, key};
    // From now on a profile switch would change the layer the dialog edits: it is refused.
    m_editor.SetAssignmentDialogOpen(true);
    m_editor.PostReadAssignment(slot);
}

void AssignmentDialog::OpenOn(const AssignmentStart& start) {
    if (m_reopening && m_state && start.slot == m_slot) {
        Reopen(start);
        return;
    }
    if (!m_request || m_request->slot != start.slot)
        return;
    const PendingRequest request = *std::exchange(m_request, std::nullopt);
    if (!start.activeLayer || request.key == nullptr) {
        m_editor.SetAssignmentDialogOpen(false); // no keyboard answers: nothing to edit
        return;
    }
    m_slot = start.slot;
    m_state.emplace(start.entry, request.macroOnly);
    InitDialog();
    m_macroTab->Open(start.macros, start.layers);
    if (m_state->Tab() == AssignmentTab::Macro)
        m_macroTab->ShowMacroForValue(m_state->InitialValue());
    ShowMacroOnlyLooks();
    ShowChoice();
    m_key = request.key;
    m_key->SetHighlighted(true);
    PlaceBesideKey();
    setWindowModality(Qt::WindowModal);
    show();
    raise();
    activateWindow();
}

void AssignmentDialog::Reopen(const AssignmentStart& start) {
    m_reopening = false;
    if (!start.activeLayer) {
        reject(); // the keyboard is gone
        return;
    }
    m_state.emplace(start.entry, m_state->MacroOnly());
    m_macroTab->Close();
    m_macroTab->Open(start.macros, start.layers);
    if (m_state->Tab() == AssignmentTab::Macro)
        m_macroTab->ShowMacroForValue(m_state->InitialValue());
    ShowChoice();
}

void AssignmentDialog::MoveInHistory(bool undo) {
    if (!m_state || m_reopening || m_awaitingHistory)
        return;
    if (undo ? m_macroTab->CanUndo() : m_macroTab->CanRedo()) {
        if (undo)
            m_macroTab->Undo();
        else
            m_macroTab->Redo();
        return;
    }
    // Nothing of the dialog's own to step over: the live profile's steps, unless that would
    // drop a choice not applied yet.
    if (m_state->IsModified() || (undo ? m_liveUndoNames.undo : m_liveUndoNames.redo).isEmpty())
        return;
    m_awaitingHistory = true;
    if (undo)
        m_editor.PostUndo();
    else
        m_editor.PostRedo();
}

void AssignmentDialog::ShowUndoActions() {
    const bool live = !m_state->IsModified();
    const QString undo = m_macroTab->CanUndo() ? m_macroTab->UndoName()
                         : live                ? m_liveUndoNames.undo
                                               : QString();
    const QString redo = m_macroTab->CanRedo() ? m_macroTab->RedoName()
                         : live                ? m_liveUndoNames.redo
                                               : QString();
    m_undoAction->setText(QString::fromStdU16String(UndoMenuText(undo.toStdU16String())));
    m_undoAction->setEnabled(!undo.isEmpty());
    m_redoAction->setText(QString::fromStdU16String(RedoMenuText(redo.toStdU16String())));
    m_redoAction->setEnabled(!redo.isEmpty());
}

void AssignmentDialog::ShowMacroOnlyLooks() {
    const bool macroOnly = m_state->MacroOnly();
    setWindowTitle(macroOnly ? QStringLiteral("宏编辑") : QStringLiteral("按键设置"));
    // In macro-only mode the closed tabs, Clear and the title take the macro editor's set.
    const StateImages& looks =
        m_pictures.at(macroOnly ? CompositePictures::Macro2 : CompositePictures::Key);
    for (const int id : {kSingleKeyTab, kMultimediaTab, kFunctionKeyTab, kClear, kTitle}) {
        Button(id)->setEnabled(id != kTitle && !macroOnly);
        Button(id)->SetStateImages(looks);
    }
}

void AssignmentDialog::PlaceBesideKey() {
    const QRect key(m_key->mapToGlobal(QPoint(0, 0)), m_key->size());
    const QWidget* window = m_key->window();
    move(PlaceBeside(key, size(), window->screen()->availableGeometry()));
}

void AssignmentDialog::RunCommand(int id) {
    if (!m_state)
        return;
    for (const CompositeTabButton& tab : CompositeTabButtons()) {
        if (tab.id == id)
            ChooseTab(tab.tab);
    }
    switch (id) {
    case kClear:
        Clear();
        break;
    case kOnScreenKeyboard:
        StartOnScreenKeyboard();
        break;
    case kApply:
        Apply();
        break;
    case kOk:
        accept();
        break;
    case kCancel:
        reject();
        break;
    default:
        break;
    }
}

void AssignmentDialog::ChooseTab(AssignmentTab tab) {
    if (!m_state->ChooseTab(tab))
        return;
    if (m_state->TakeFirstMacroVisit())
        m_macroTab->ShowMacroForValue(0);
    ShowChoice();
}

void AssignmentDialog::Clear() {
    m_state->Clear();
    ShowChoice();
}

void AssignmentDialog::KeyTapped(const TappedKey& key) {
    // Releases and repeats of keys are taken too, so that no control sees them.
    if (key.release || key.autoRepeat || !m_state)
        return;
    m_state->CaptureKey(key.scan);
    ShowChoice();
}

void AssignmentDialog::StartOnScreenKeyboard() {
    // Keys clicked on it reach the focused window as typed ones: the single-key tab takes them.
    if (QProcess::startDetached(kOnScreenKeyboardProgram, {}))
        return;
    m_keyTap->Stop(); // the message's own keys are not for the key field
    ShowProgramMessage(this, Text(kNoOnScreenKeyboardText));
    if (m_state)
        ShowChoice();
}

void AssignmentDialog::Apply() {
    MacroTab::Applied applied = m_macroTab->TakeForApply();
    const AssignmentChoice choice =
        m_state->Choice(m_macroTab->CurrentMacro(), m_macroTab->LoopCount());
    m_editor.PostAssignment(m_slot, choice, std::move(applied.records), std::move(applied.steps));
    m_state->ClearModified();
    ShowChoice();
}

void AssignmentDialog::accept() {
    if (m_state)
        Apply();
    Close();
    CBaseDialog::accept();
}

void AssignmentDialog::reject() {
    Close();
    CBaseDialog::reject();
}

void AssignmentDialog::Close() {
    m_keyTap->Stop();
    if (m_request || m_state)
        m_editor.SetAssignmentDialogOpen(false);
    m_request.reset();
    m_state.reset();
    m_awaitingHistory = false;
    m_reopening = false;
    m_macroTab->Close();
    if (m_key != nullptr)
        m_key->SetHighlighted(false);
    m_key = nullptr;
}

void AssignmentDialog::ShowChoice() {
    const AssignmentTab tab = m_state->Tab();
    for (const CompositeTabButton& button : CompositeTabButtons())
        Button(button.id)->SetLit(button.tab == tab);
    ShowPage(tab);
    const ScanCode key = m_state->ShownKey();
    m_keyField->setText(key != 0 ? QString::fromStdU16String(KeyNameFromScan(key)) : QString());
    ShowLists();
    Button(kApply)->setEnabled(m_state->IsModified());
    ShowUndoActions();
    if (tab != AssignmentTab::Macro)
        m_macroTab->StopRecording();
    if (tab == AssignmentTab::SingleKey)
        m_keyTap->Start();
    else
        m_keyTap->Stop();
}

void AssignmentDialog::ShowPage(AssignmentTab tab) {
    Button(kMask)->SetStateImages(m_pictures.at(PagePictures(tab)));
    for (const CompositeControl& control : CompositeControls()) {
        if (control.tab)
            Control(control.id)->setVisible(*control.tab == tab);
    }
}

void AssignmentDialog::ShowLists() {
    SelectRow(*m_multimedia, m_state->MultimediaRow());
    SelectRow(*m_functionKeys, m_state->FunctionKeySlot());
}

void AssignmentDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape neither press OK nor cancel.
    if (IsEnterOrEscape(*event)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        if (!m_macroTab->IsRecording())
            emit helpRequested();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

void AssignmentDialog::keyReleaseEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(*event)) {
        event->accept();
        return;
    }
    CBaseDialog::keyReleaseEvent(event);
}

} // namespace tavrik
