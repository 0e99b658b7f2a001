#include "macro/macro_editor.h"

#include "macro/macro_texts.h"

#include <algorithm>

namespace tavrik {

namespace {

inline constexpr int64_t kParseLimit = 1'000'000'000;

// A leading decimal number as an edit box's text is read: optional sign, then digits; 0 when
// there is none. Saturates far above every limit that applies.
int64_t ParseDecimal(std::u16string_view text) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == u'-';
    if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) {
        i = 1;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i] - u'0'), kParseLimit);
    }
    return negative ? -value : value;
}

std::u16string DecimalText(int64_t value) {
    std::u16string text;
    for (const char digit : std::to_string(value)) {
        text.push_back(static_cast<char16_t>(digit));
    }
    return text;
}

char16_t FoldAsciiCase(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && std::ranges::equal(text.substr(0, prefix.size()), prefix,
                                                              {}, FoldAsciiCase, FoldAsciiCase);
}

MacroRecord NewMacroRecord(std::u16string name, uint16_t id) {
    MacroRecord record;
    record.name = std::move(name);
    record.loopCount = 1;
    record.isNew = true;
    record.id = id;
    return record;
}

} // namespace

uint32_t PlayedDelayMs(uint32_t delayMs) {
    return delayMs - delayMs % kDelayStepMs;
}

uint16_t AllocateMacroId(std::span<const MacroRecord> records) {
    for (uint16_t id = 1; id <= kMaxMacroId; ++id) {
        if (std::ranges::find(records, id, &MacroRecord::id) == records.end()) {
            return id;
        }
    }
    return 0;
}

bool IsMacroReferenced(const KeyFunctionLayers& layers, uint16_t id) {
    return std::ranges::any_of(layers, [id](const KeyFunctionLayer& layer) {
        return std::ranges::any_of(layer, [id](const KeyFunctionEntry& entry) {
            return entry.type == KeyFunctionType::PlayMacro && entry.value == id;
        });
    });
}

bool CanDeleteMacro(const MacroRecord& record, const KeyFunctionLayers& layers,
                    MacroPrompts& prompts) {
    if (record.isNew || !IsMacroReferenced(layers, record.id)) {
        return true;
    }
    return prompts.Ask(macro_text::kDeleteReferencedMacro);
}

MacroEditor::MacroEditor(std::vector<MacroRecord> liveMacros, MacroNameCounter& nameCounter,
                         MacroPrompts& prompts, DeleteCheck canDelete)
    : records_(std::move(liveMacros))
    , nameCounter_(nameCounter)
    , prompts_(prompts)
    , canDelete_(std::move(canDelete)) {
    for (MacroRecord& record : records_) {
        record.isNew = false;
    }
}

uint16_t MacroEditor::LoopCount() const {
    return static_cast<uint16_t>(std::clamp<int64_t>(ParseDecimal(loopCountText_), 0, 255));
}

void MacroEditor::ShowMacro() {
    if (records_.empty()) {
        current_.reset();
    }
    rows_.clear();
    selectedRow_.reset();
    if (!current_) {
        return;
    }
    const MacroRecord& record = records_[*current_];
    loopCountText_ = DecimalText(record.loopCount);
    for (const MacroAction& action : StoredMacroActions(record)) {
        AddRecordedAction(action.delayMs, action.key, static_cast<uint16_t>(action.direction),
                          false);
    }
}

void MacroEditor::StoreShownMacro(std::optional<size_t> index) {
    if (!index || *index >= records_.size()) {
        return;
    }
    MacroRecord& record = records_[*index];
    record.loopCount = static_cast<uint8_t>(ParseDecimal(loopCountText_) & 0xFF);
    record.actions = rows_;
}

void MacroEditor::Restore(std::vector<MacroRecord> records, Place place) {
    records_ = std::move(records);
    current_ = place.current && *place.current < records_.size() ? place.current : std::nullopt;
    ShowMacro();
    SelectRow(place.selectedRow);
    modified_ = true;
}

void MacroEditor::ShowMacroForValue(uint32_t value) {
    StoreShownMacro();
    const auto macro = std::ranges::find(records_, value, &MacroRecord::id);
    current_ = macro != records_.end() ? static_cast<size_t>(macro - records_.begin()) : 0;
    ShowMacro();
}

void MacroEditor::SelectMacro(size_t index) {
    if (index >= records_.size()) {
        return;
    }
    StoreShownMacro();
    current_ = index;
    ShowMacro();
}

std::u16string MacroEditor::NextDefaultName() {
    for (;;) {
        std::u16string name = DefaultMacroName(nameCounter_.Next());
        const bool taken = std::ranges::any_of(records_, [&name](const MacroRecord& record) {
            return StartsWithIgnoringCase(record.name, name);
        });
        if (!taken) {
            return name;
        }
    }
}

void MacroEditor::AppendNewMacro(std::u16string name) {
    StoreShownMacro();
    records_.push_back(NewMacroRecord(std::move(name), AllocateMacroId(records_)));
    current_ = records_.size() - 1;
    ShowMacro();
    modified_ = true;
}

void MacroEditor::AddMacro() {
    if (records_.size() >= kMaxMacros) {
        prompts_.Inform(macro_text::kTooManyMacros);
        return;
    }
    AppendNewMacro(NextDefaultName());
}

void MacroEditor::TypeMacroName(std::u16string_view text) {
    std::u16string name(text.substr(0, kMaxMacroNameLength));
    if (records_.empty()) {
        records_.push_back(NewMacroRecord(std::move(name), AllocateMacroId(records_)));
        current_ = 0;
        ShowMacro();
        modified_ = true;
        return;
    }
    if (!current_) {
        return; // no macro shown: the text names nothing
    }
    records_[*current_].name = std::move(name);
    modified_ = true;
}

void MacroEditor::DeleteMacro() {
    if (!current_ || (canDelete_ && !canDelete_(records_[*current_]))) {
        return;
    }
    const size_t deleted = *current_;
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(deleted));
    current_ = deleted > 0 ? deleted - 1 : 0;
    ShowMacro();
    modified_ = true;
}

std::u16string MacroEditor::SetLoopCountText(std::u16string_view text) {
    // The field shows the number the keyboard will play, never what else was typed around it.
    loopCountText_ = DecimalText(std::clamp<int64_t>(ParseDecimal(text), 1, 255));
    modified_ = true;
    return loopCountText_;
}

void MacroEditor::SelectRow(std::optional<size_t> row) {
    selectedRow_ = row && *row < rows_.size() ? row : std::nullopt;
}

void MacroEditor::DeleteAction() {
    if (!selectedRow_) {
        return;
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selectedRow_));
    selectedRow_.reset();
    modified_ = true;
}

void MacroEditor::ClearActions() {
    if (rows_.empty() || !prompts_.Ask(macro_text::kClearActions)) {
        return;
    }
    rows_.clear();
    selectedRow_.reset();
    modified_ = true;
}

void MacroEditor::MoveAction(RowMove move) {
    modified_ = true;
    if (!selectedRow_) {
        return;
    }
    const size_t from = *selectedRow_;
    const size_t last = rows_.size() - 1;
    size_t to = from;
    switch (move) {
    case RowMove::ToTop:
        to = 0;
        break;
    case RowMove::Up:
        to = from > 0 ? from - 1 : 0;
        break;
    case RowMove::Down:
        to = std::min(from + 1, last);
        break;
    case RowMove::ToBottom:
        to = last;
        break;
    }
    const MacroAction moved = rows_[from];
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(from));
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(to), moved);
    selectedRow_ = to;
}

void MacroEditor::SetRowKeyCode(size_t row, KeyCode code) {
    if (row >= rows_.size() || KeyCodeFromScan(rows_[row].key) == code) {
        return;
    }
    rows_[row].key = ScanFromKeyCode(code);
    modified_ = true;
}

void MacroEditor::SetRowDirection(size_t row, KeyDirection direction) {
    if (row >= rows_.size() || rows_[row].direction == direction) {
        return;
    }
    rows_[row].direction = direction;
    modified_ = true;
}

uint32_t MacroEditor::SetRowDelayText(size_t row, std::u16string_view digits) {
    if (row >= rows_.size()) {
        return 0;
    }
    int64_t delay = std::max<int64_t>(ParseDecimal(digits), 0);
    if (delay > kMaxEditedDelayMs) {
        prompts_.Inform(macro_text::kDelayTooLong);
        delay = kMaxEditedDelayMs;
    }
    rows_[row].delayMs = PlayedDelayMs(static_cast<uint32_t>(delay));
    modified_ = true;
    return rows_[row].delayMs;
}

void MacroEditor::InsertRow(size_t position, MacroAction action) {
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position), action);
}

void MacroEditor::AddRecordedAction(uint32_t delayMs, ScanCode key, uint16_t direction,
                                    bool fromRecorder) {
    if (rows_.size() >= kMaxMacroActions) {
        return;
    }
    MacroAction action{.delayMs = delayMs, .key = key, .direction = DirectionFromStored(direction)};
    if (!fromRecorder) {
        InsertRow(rows_.size(), action);
        return;
    }
    const size_t position = selectedRow_ ? *selectedRow_ + 1 : rows_.size();
    if (position == 0) {
        action.delayMs = 0; // the time before the first key is not kept
    } else {
        // The measured time is the pause after the previous step; the new step takes over the
        // pause that followed the previous one, so inserting splits the gap.
        // It is kept as the keyboard will play it, in its 10 ms steps, as a typed pause is:
        // the row shows, and the store file holds, what the keyboard gives back.
        MacroAction& previous = rows_[position - 1];
        action.delayMs = previous.delayMs;
        previous.delayMs = PlayedDelayMs(std::min(delayMs, kMaxEditedDelayMs));
    }
    InsertRow(position, action);
    selectedRow_ = position;
    modified_ = true;
}

} // namespace tavrik
