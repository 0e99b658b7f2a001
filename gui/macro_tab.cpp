#include "gui/macro_tab.h"

#include "assign/assignment_apply.h"
#include "gui/assignment_controls.h"
#include "gui/message_boxes.h"
#include "macro/macro_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>

namespace tavrik {
namespace {

using namespace composite_id;

// The action list's columns and their widths.
constexpr int kKeyColumnWidth = 70;
constexpr int kDirectionColumnWidth = 39;
constexpr int kCaptionColour = 0xE4E4E4;
constexpr int kListFontPoints = 12;

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* Caption(QWidget& dialog, std::u16string_view text) {
    auto* label = new QLabel(Text(text), &dialog);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(kCaptionColour));
    label->setPalette(palette);
    return label;
}

QTableWidget* ActionList(QWidget& dialog) {
    auto* list = new QTableWidget(0, 3, &dialog);
    list->setHorizontalHeaderLabels({Text(macro_text::kKeyColumn),
                                     Text(macro_text::kDirectionColumn),
                                     Text(macro_text::kDelayColumn)});
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->horizontalHeader()->resizeSection(0, kKeyColumnWidth);
    list->horizontalHeader()->resizeSection(1, kDirectionColumnWidth);
    list->horizontalHeader()->setStretchLastSection(true);
    list->setAccessibleName(QStringLiteral("宏动作"));
    return list;
}

QList<QTableWidgetItem*> RowItems(const MacroAction& action, const QColor& grey) {
    const bool press = action.direction == KeyDirection::Press;
    QList<QTableWidgetItem*> items{
        new QTableWidgetItem(QString::fromStdU16String(KeyNameFromScan(action.key))),
        new QTableWidgetItem(Text(press ? macro_text::kPress : macro_text::kRelease)),
        new QTableWidgetItem(QString::number(action.delayMs)),
    };
    items[0]->setForeground(grey);
    items[1]->setForeground(grey);
    return items;
}

} // namespace

// The model's messages and questions as the program's message boxes over the dialog.
class MacroTab::Prompts final : public MacroPrompts {
public:
    explicit Prompts(QWidget& owner)
        : m_owner(owner) {}
    void Inform(std::u16string_view text) override { ShowProgramMessage(&m_owner, Text(text)); }
    bool Ask(std::u16string_view question) override {
        return AskProgramQuestion(&m_owner, Text(question));
    }

private:
    QWidget& m_owner;
};

MacroTab::MacroTab(QWidget& dialog, MacroNameCounter& names, const ButtonLookup& buttons)
    : QObject(&dialog)
    , m_prompts(std::make_unique<Prompts>(dialog))
    , m_names(names) {
    CreateFields(dialog);
    ConnectButtons(buttons);
}

MacroTab::~MacroTab() = default;

void MacroTab::CreateFields(QWidget& dialog) {
    m_macros = new QComboBox(&dialog);
    m_macros->setEditable(true);
    m_macros->setInsertPolicy(QComboBox::NoInsert);
    m_macros->setFont(QFont(QStringLiteral("Verdana"), kListFontPoints));
    m_macros->setAccessibleName(QStringLiteral("宏"));
    m_loopCount = new QLineEdit(&dialog);
    m_loopCount->setAccessibleName(QStringLiteral("循环次数"));
    m_actions = ActionList(dialog);
    // Recording comes with the recorder; until then its option stays closed.
    auto* recordDelays = new QCheckBox(&dialog);
    recordDelays->setEnabled(false);
    recordDelays->setAccessibleName(QStringLiteral("记录按键延迟"));
    m_fields = {
        {kMacroList, m_macros},        {kLoopCountLabel, Caption(dialog, u"循环次数")},
        {kLoopCount, m_loopCount},     {kActionList, m_actions},
        {kRecordDelays, recordDelays}, {kRecordDelaysLabel, Caption(dialog, u"记录按键延迟")}};
    connect(m_macros->lineEdit(), &QLineEdit::textEdited, this, &MacroTab::RenameTyped);
    connect(m_macros, &QComboBox::currentIndexChanged, this, &MacroTab::SelectTyped);
    connect(m_loopCount, &QLineEdit::textEdited, this, &MacroTab::LoopCountTyped);
    connect(m_actions, &QTableWidget::itemSelectionChanged, this, &MacroTab::SelectRowClicked);
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
    ShowMacros();
}

void MacroTab::Close() {
    m_editor.reset();
    m_layers.reset();
}

void MacroTab::SetLayers(std::shared_ptr<const KeyFunctionLayers> layers) {
    if (m_editor)
        m_layers = std::move(layers);
}

void MacroTab::ShowMacroForValue(uint32_t value) {
    m_editor->ShowMacroForValue(value);
    ShowMacros();
}

std::optional<size_t> MacroTab::CurrentMacro() const {
    return m_editor ? m_editor->CurrentMacro() : std::nullopt;
}

uint16_t MacroTab::LoopCount() const {
    return m_editor ? m_editor->LoopCount() : uint16_t{1};
}

bool MacroTab::IsModified() const {
    return m_editor && m_editor->IsModified();
}

std::vector<MacroRecord> MacroTab::TakeForApply() {
    m_editor->StoreShownMacro();
    const std::span<MacroRecord> records = m_editor->Records();
    std::vector<MacroRecord> posted(records.begin(), records.end());
    MacroArrayForApply(records); // the dialog's own copies count as applied now
    m_editor->ClearModified();
    return posted;
}

void MacroTab::OnButton(int id) {
    MacroEditor& editor = *m_editor;
    switch (id) {
    case kMacroAdd:
        editor.AddMacro();
        break;
    case kMacroDelete:
        editor.DeleteMacro();
        break;
    case kActionDelete:
        editor.DeleteAction();
        break;
    case kActionsClear:
        editor.ClearActions();
        break;
    case kActionToTop:
        editor.MoveAction(RowMove::ToTop);
        break;
    case kActionUp:
        editor.MoveAction(RowMove::Up);
        break;
    case kActionDown:
        editor.MoveAction(RowMove::Down);
        break;
    case kActionToBottom:
        editor.MoveAction(RowMove::ToBottom);
        break;
    default:
        return;
    }
    if (id == kMacroAdd || id == kMacroDelete)
        ShowMacros();
    else
        ShowRows();
    Changed();
}

void MacroTab::Changed() {
    if (m_editor->IsModified())
        emit edited();
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
    const QSignalBlocker blocker(m_actions);
    const QColor grey = m_actions->palette().color(QPalette::Disabled, QPalette::Text);
    const std::vector<MacroAction>& rows = m_editor->Rows();
    m_actions->setRowCount(static_cast<int>(rows.size()));
    for (size_t row = 0; row < rows.size(); ++row) {
        const QList<QTableWidgetItem*> items = RowItems(rows[row], grey);
        for (int column = 0; column < items.size(); ++column)
            m_actions->setItem(static_cast<int>(row), column, items[column]);
    }
    m_actions->clearSelection();
    if (const std::optional<size_t> selected = m_editor->SelectedRow()) {
        m_actions->selectRow(static_cast<int>(*selected));
        m_actions->scrollToItem(m_actions->item(static_cast<int>(*selected), 0));
    }
    m_loopCount->setText(QString::fromStdU16String(m_editor->LoopCountText()));
    ShowButtonStates();
}

void MacroTab::ShowButtonStates() {
    const bool shown = m_editor->ActionButtonsEnabled();
    for (const auto& [id, button] : m_buttons) {
        if (id != kMacroAdd && id != kMacroDelete)
            button->setEnabled(shown && id != kRecord); // the recorder is still to come
    }
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
    Changed();
}

void MacroTab::SelectTyped(int index) {
    if (index < 0)
        return;
    m_editor->SelectMacro(static_cast<size_t>(index));
    ShowRows();
    emit edited(); // the key plays another macro
}

void MacroTab::LoopCountTyped(const QString& text) {
    const QString shown =
        QString::fromStdU16String(m_editor->SetLoopCountText(text.toStdU16String()));
    if (shown != text)
        m_loopCount->setText(shown);
    Changed();
}

void MacroTab::SelectRowClicked() {
    const QList<QTableWidgetSelectionRange> ranges = m_actions->selectedRanges();
    m_editor->SelectRow(ranges.isEmpty() ? std::nullopt
                                         : std::optional<size_t>(ranges.first().topRow()));
}

} // namespace tavrik
