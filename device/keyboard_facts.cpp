#include "device/keyboard_facts.h"

#include "device/default_layout.h"

namespace tavrik {

KeyboardFacts::KeyboardFacts()
    : defaultLayout_(kDefaultLayout) {}

KeyMapBlock KeyboardFacts::DefaultLayout() const {
    std::lock_guard lock(mutex_);
    return defaultLayout_;
}

void KeyboardFacts::SetDefaultLayout(const KeyMapBlock& layout) {
    std::lock_guard lock(mutex_);
    defaultLayout_ = layout;
}

int KeyboardFacts::MacroCapacity() const {
    std::lock_guard lock(mutex_);
    return macroCapacity_;
}

void KeyboardFacts::SetMacroCapacity(int bytes) {
    std::lock_guard lock(mutex_);
    macroCapacity_ = bytes;
}

int KeyboardFacts::ActiveProfile() const {
    std::lock_guard lock(mutex_);
    return activeProfile_;
}

void KeyboardFacts::SetActiveProfile(int index) {
    std::lock_guard lock(mutex_);
    activeProfile_ = index;
}

void KeyboardFacts::ForgetActiveProfile() {
    SetActiveProfile(kUnknownProfile);
}

} // namespace tavrik
