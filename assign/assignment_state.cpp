#include "assign/assignment_state.h"

namespace tavrik {

AssignmentTab TabForType(KeyFunctionType type) {
    switch (type) {
    case KeyFunctionType::PlayMacro:
        return AssignmentTab::Macro;
    case KeyFunctionType::Multimedia:
        return AssignmentTab::Multimedia;
    case KeyFunctionType::FunctionKey:
        return AssignmentTab::FunctionKey;
    default:
        return AssignmentTab::SingleKey;
    }
}

KeyFunctionType TypeOfTab(AssignmentTab tab) {
    switch (tab) {
    case AssignmentTab::Macro:
        return KeyFunctionType::PlayMacro;
    case AssignmentTab::Multimedia:
        return KeyFunctionType::Multimedia;
    case AssignmentTab::FunctionKey:
        return KeyFunctionType::FunctionKey;
    case AssignmentTab::SingleKey:
        break;
    }
    return KeyFunctionType::SingleKey;
}

AssignmentState::AssignmentState(const KeyFunctionEntry& edited, bool macroOnly)
    : type_(macroOnly ? KeyFunctionType::PlayMacro : edited.type)
    , macroOnly_(macroOnly)
    , initialValue_(edited.value)
    , firstMacroVisit_(Tab() != AssignmentTab::Macro) {
    switch (Tab()) {
    case AssignmentTab::SingleKey:
        // A key sent before, or the key itself kept by a Default entry.
        if (IsValidScan(static_cast<ScanCode>(edited.value)) && edited.value <= 0xFFFF)
            capturedKey_ = static_cast<ScanCode>(edited.value);
        break;
    case AssignmentTab::Multimedia:
        multimediaRow_ = edited.value;
        break;
    case AssignmentTab::FunctionKey:
        functionKeySlot_ = edited.value;
        break;
    case AssignmentTab::Macro:
        break;
    }
}

bool AssignmentState::IsTabOffered(AssignmentTab tab) const {
    return !macroOnly_ || tab == AssignmentTab::Macro;
}

ScanCode AssignmentState::ShownKey() const {
    return type_ == KeyFunctionType::SingleKey ? capturedKey_ : ScanCode{0};
}

bool AssignmentState::ChooseTab(AssignmentTab tab) {
    const bool inForce = tab == AssignmentTab::SingleKey ? type_ == KeyFunctionType::Default ||
                                                               type_ == KeyFunctionType::SingleKey
                                                         : tab == Tab();
    if (inForce || !IsTabOffered(tab))
        return false;
    type_ = TypeOfTab(tab);
    modified_ = true;
    return true;
}

bool AssignmentState::TakeFirstMacroVisit() {
    if (!firstMacroVisit_ || Tab() != AssignmentTab::Macro)
        return false;
    firstMacroVisit_ = false;
    return initialValue_ == 0;
}

void AssignmentState::Clear() {
    if (!IsClearOffered())
        return;
    ChooseTab(AssignmentTab::SingleKey);
    if (type_ == KeyFunctionType::SingleKey)
        type_ = KeyFunctionType::Default;
}

void AssignmentState::CaptureKey(ScanCode key) {
    if (Tab() != AssignmentTab::SingleKey || key == 0)
        return;
    capturedKey_ = key;
    type_ = KeyFunctionType::SingleKey;
    modified_ = true;
}

void AssignmentState::ChooseMultimediaRow(uint32_t row) {
    if (row == multimediaRow_)
        return;
    multimediaRow_ = row;
    modified_ = true;
}

void AssignmentState::ChooseFunctionKeySlot(uint32_t slot) {
    if (slot == functionKeySlot_)
        return;
    functionKeySlot_ = slot;
    modified_ = true;
}

AssignmentChoice AssignmentState::Choice(std::optional<size_t> currentMacro,
                                         uint16_t loopCount) const {
    return {.type = type_,
            .capturedKey = capturedKey_,
            .currentMacro = currentMacro,
            .loopCount = loopCount,
            .multimediaRow = multimediaRow_,
            .functionKeySlot = functionKeySlot_};
}

} // namespace tavrik
