#include "gui/macro_tab.h"

#include "assign/assignment_apply.h"
#include "gui/assignment_controls.h"
#include "gui/key_event_tap.h"
#include "gui/macro_action_list.h"
#include "gui/message_boxes.h"
#include "widgets/undo_shortcuts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTableWidget>

namespace tavrik {
namespace {

using namespace composite_id;

constexpr int kCaptionColour = 0xE4E4E4;
constexpr int kListFontPoints = 12;
const QString kRecordText = QStringLiteral("录制...");
const QString kStopRecordingText = QStringLiteral("停止录制");

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* Caption(QWidget& dialog, const QString& text) {
    auto* label = new QLabel(text, &dialog);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(kCaptionColour));
    label->setPalette(palette);
    return label;
}

} // namespace

// The model's messages and questions as the program's message boxes over the dialog. A message
// may come in the middle of a cell edit: it does not wait to be read.
class MacroTab::Prompts final : public MacroPrompts {
public:
    explicit Prompts(QWidget& owner)
        : m_owner(owner) {}
    void Inform(std::u16string_view text) override {
        ShowProgramMessageLater(&m_owner, Text(text));
    }
    bool Ask(std::u16string_view question) override {
        return AskProgramQuestion(&m_owner, Text(question));
    }

private:
    QWidget& m_owner;
};

MacroTab::MacroTab(QWidget& dialog, MacroNameCounter& names, const ButtonLookup& buttons)
    : QObject(&dialog)
    , m_prompts(std::make_unique<Prompts>(dialog))
    , m_names(names)
    , m_preferences(QCoreApplication::applicationName())
    , m_keyTap(new KeyEventTap(this)) {
    CreateFields(dialog);
    ConnectButtons(buttons);
    connect(m_keyTap, &KeyEventTap::keyTapped, this, &MacroTab::KeyTapped);
    m_clock.start();
}

MacroTab::~MacroTab() = default;

void MacroTab::CreateFields(QWidget& dialog) {
    m_macros = new QComboBox(&dialog);
    m_macros->setEditable(true);
    m_macros->setInsertPolicy(QComboBox::NoInsert);
    m_macros->setFont(QFont(QStringLiteral("Verdana"), kListFontPoints));
    m_macros->setAccessibleName(QStringLiteral("宏"));
    m_loopCount = new QLineEdit(&dialog);
    // The keyboard plays a macro 1 to 255 times: only digits can be typed.
    m_loopCount->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,3}")), m_loopCount));
    m_loopCount->setAccessibleName(QStringLiteral("循环次数"));
    m_actions = new MacroActionList(dialog);
    m_recordDelays = new QCheckBox(&dialog);
    m_recordDelays->setAccessibleName(QStringLiteral("记录按键延迟"));
    m_fields = {{kMacroList, m_macros},
                {kLoopCountLabel, Caption(dialog, QStringLiteral("循环次数"))},
                {kLoopCount, m_loopCount},
                {kActionList, m_actions->Widget()},
                {kRecordDelays, m_recordDelays},
                {kRecordDelaysLabel, Caption(dialog, QStringLiteral("记录按键延迟"))}};
    connect(m_macros->lineEdit(), &QLineEdit::textEdited, this, &MacroTab::RenameTyped);
    connect(m_macros, &QComboBox::currentIndexChanged, this, &MacroTab::SelectTyped);
    connect(m_loopCount, &QLineEdit::textEdited, this, &MacroTab::LoopCountTyped);
    connect(m_recordDelays, &QCheckBox::clicked, this, &MacroTab::ToggleRecordDelays);
    connect(m_actions, &MacroActionList::edited, this, [this] { Edited(MacroEdit::EditAction); });
    // After the list has told the editor: an undo comes back to the row selected.
    connect(m_actions->Widget(), &QTableWidget::itemSelectionChanged, this, [this] {
        if (m_history)
            m_history->NoteSelection();
    });
    // Typing is kept as undo steps of the tab; the edits' own text undo would bypass them.
    PassUndoShortcuts(*m_macros);
    PassUndoShortcuts(*m_macros->lineEdit());
    PassUndoShortcuts(*m_loopCount);
    connect(m_actions, &MacroActionList::pauseEditStarting, this, &MacroTab::StopRecording);
}

void MacroTab::ConnectButtons(const ButtonLookup& buttons) {
    for (const int id : {kMacroAdd, kMacroDelete, kRecord, kActionDelete, kActionsClear,
                         kActionToTop, kActionUp, kActionDown, kActionToBottom}) {
        CPngButton* button = buttons(id);
        m_buttons[id] = button;
        connect(button, &QAbstractButton::clicked, this, [this, id] { OnButton(id); });
    }
}

void MacroTab::Open(std::vector<MacroRecord> macros,
                    std::shared_ptr<const KeyFunctionLayers> layers) {
    m_layers = std::move(layers);
    m_editor.emplace(std::move(macros), m_names, *m_prompts, [this](const MacroRecord& macro) {
        return CanDeleteMacro(macro, *m_layers, *m_prompts);
    });
    m_recorder.emplace(*m_editor);
    m_history.emplace(*m_editor);
    m_actions->Bind(&*m_editor);
    m_recordDelays->setChecked(m_preferences.LoadRecordDelay());
    ShowMacros();
}

void MacroTab::Close() {
    StopRecording();
    m_actions->Bind(nullptr);
    m_history.reset();
    m_recorder.reset();
    m_editor.reset();
    m_layers.reset();
}

void MacroTab::SetLayers(std::shared_ptr<const KeyFunctionLayers> layers) {
    if (m_editor)
        m_layers = std::move(layers);
}

void MacroTab::ShowMacroForValue(uint32_t value) {
    m_editor->ShowMacroForValue(value);
    m_history->NoteSelection();
    ShowMacros();
}

std::optional<size_t> MacroTab::CurrentMacro() const {
    return m_editor ? m_editor->CurrentMacro() : std::nullopt;
}

uint16_t MacroTab::LoopCount() const {
    return m_editor ? m_editor->LoopCount() : uint16_t{1};
}

MacroTab::Applied MacroTab::TakeForApply() {
    StopRecording();
    m_editor->StoreShownMacro();
    const std::span<MacroRecord> records = m_editor->Records();
    Applied applied{{records.begin(), records.end()}, {}};
    MacroArrayForApply(records); // the dialog's own copies count as applied now
    m_editor->ClearModified();
    applied.steps = m_history->TakeApplied();
    return applied;
}

QString MacroTab::UndoName() const {
    return m_history ? QString::fromStdU16String(m_history->UndoName()) : QString();
}

QString MacroTab::RedoName() const {
    return m_history ? QString::fromStdU16String(m_history->RedoName()) : QString();
}

void MacroTab::Undo() {
    StopRecording();
    if (m_history && m_history->Undo())
        ShowHistoryMove();
}

void MacroTab::Redo() {
    StopRecording();
    if (m_history && m_history->Redo())
        ShowHistoryMove();
}

void MacroTab::ShowHistoryMove() {
    ShowMacros();
    emit edited();
}

void MacroTab::OnButton(int id) {
    if (id == kRecord)
        ToggleRecording();
    else if (id == kMacroAdd || id == kMacroDelete)
        EditMacros(id);
    else
        EditRows(id);
}

void MacroTab::EditMacros(int id) {
    if (id == kMacroAdd)
        m_editor->AddMacro();
    else
        m_editor->DeleteMacro();
    ShowMacros();
    Edited(id == kMacroAdd ? MacroEdit::Add : MacroEdit::Delete);
}

void MacroTab::EditRows(int id) {
    static const std::map<int, RowMove> kMoves{{kActionToTop, RowMove::ToTop},
                                               {kActionUp, RowMove::Up},
                                               {kActionDown, RowMove::Down},
                                               {kActionToBottom, RowMove::ToBottom}};
    MacroEdit edit = MacroEdit::MoveAction;
    if (id == kActionDelete) {
        m_editor->DeleteAction();
        edit = MacroEdit::DeleteAction;
    } else if (id == kActionsClear) {
        m_editor->ClearActions();
        edit = MacroEdit::ClearActions;
    } else {
        m_editor->MoveAction(kMoves.at(id));
    }
    ShowRows();
    m_actions->Widget()->setFocus();
    Edited(edit);
}

bool MacroTab::IsRecording() const {
    return m_recorder && m_recorder->IsRecording();
}

void MacroTab::ToggleRecording() {
    if (IsRecording())
        StopRecording();
    else
        StartRecording();
}

void MacroTab::StartRecording() {
    m_recorder->SetRecordDelays(m_recordDelays->isChecked());
    ++m_recordings;
    m_recorder->Start(static_cast<uint64_t>(m_clock.elapsed()));
    m_keyTap->Start();
    CPngButton* record = m_buttons.at(kRecord);
    record->setText(kStopRecordingText);
    record->setAccessibleName(kStopRecordingText);
    record->SetLit(true);
    ShowButtonStates();
}

void MacroTab::StopRecording() {
    m_keyTap->Stop();
    if (!IsRecording())
        return;
    m_recorder->Stop();
    CPngButton* record = m_buttons.at(kRecord);
    record->setText(kRecordText);
    record->setAccessibleName(kRecordText);
    record->SetLit(false);
    ShowButtonStates();
}

void MacroTab::KeyTapped(const TappedKey& key) {
    if (m_recorder->KeyEvent(key.scan, key.release, key.autoRepeat,
                             static_cast<uint64_t>(m_clock.elapsed()))) {
        ShowRows();
        Edited(MacroEdit::Record);
    }
}

void MacroTab::ToggleRecordDelays() {
    const bool on = m_preferences.ToggleRecordDelay();
    m_recordDelays->setChecked(on);
    if (m_recorder)
        m_recorder->SetRecordDelays(on);
}

void MacroTab::Changed() {
    if (m_editor->IsModified())
        emit edited();
}

void MacroTab::Edited(MacroEdit edit) {
    m_history->Note(edit, edit == MacroEdit::Record ? m_recordings : 0);
    Changed();
}

void MacroTab::ShowMacros() {
    {
        const QSignalBlocker blocker(m_macros);
        m_macros->clear();
        for (const MacroRecord& record : m_editor->Records())
            m_macros->addItem(QString::fromStdU16String(record.name));
        const std::optional<size_t> current = m_editor->CurrentMacro();
        m_macros->setCurrentIndex(current ? static_cast<int>(*current) : -1);
    }
    ShowRows();
}

void MacroTab::ShowRows() {
    m_actions->ShowRows();
    m_loopCount->setText(QString::fromStdU16String(m_editor->LoopCountText()));
    ShowButtonStates();
}

void MacroTab::ShowButtonStates() {
    // While recording the macro list stays as it is; the action buttons need a shown macro.
    const bool recording = IsRecording();
    const bool shown = m_editor->ActionButtonsEnabled();
    for (const auto& [id, button] : m_buttons) {
        const bool listButton = id == kMacroAdd || id == kMacroDelete;
        button->setEnabled(listButton ? !recording : shown);
    }
    m_macros->setEnabled(!recording);
}

void MacroTab::RenameTyped(const QString& text) {
    const bool wasEmpty = m_editor->Records().empty();
    m_editor->TypeMacroName(text.toStdU16String());
    if (wasEmpty) {
        ShowMacros();
        m_macros->lineEdit()->setText(text);
    } else if (const std::optional<size_t> current = m_editor->CurrentMacro()) {
        const QSignalBlocker blocker(m_macros);
        const int cursor = m_macros->lineEdit()->cursorPosition();
        m_macros->setItemText(static_cast<int>(*current),
                              QString::fromStdU16String(m_editor->Records()[*current].name));
        m_macros->lineEdit()->setCursorPosition(cursor);
    }
    Edited(wasEmpty ? MacroEdit::Add : MacroEdit::Rename);
}

void MacroTab::SelectTyped(int index) {
    if (index < 0)
        return;
    m_editor->SelectMacro(static_cast<size_t>(index));
    m_history->NoteSelection();
    ShowRows();
    emit edited(); // the key plays another macro
}

void MacroTab::LoopCountTyped(const QString& text) {
    const QString shown =
        QString::fromStdU16String(m_editor->SetLoopCountText(text.toStdU16String()));
    if (shown != text)
        m_loopCount->setText(shown);
    Edited(MacroEdit::LoopCount);
}

} // namespace tavrik
