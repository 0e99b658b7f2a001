#pragma once
// What the program knows about the attached keyboard, shared by every thread that talks to it:
// the keyboard's factory key map (the built-in copy until a keyboard has answered), the size of
// its macro memory (0 until read) and the cached index of its active hardware profile
// (-1 = unknown). Every member may be called from any thread.

#include "device/device_commands.h"

#include <mutex>

namespace tavrik {

inline constexpr int kUnknownProfile = -1;

class KeyboardFacts {
public:
    KeyboardFacts();

    KeyMapBlock DefaultLayout() const;
    void SetDefaultLayout(const KeyMapBlock& layout);

    // Bytes; 0 until the keyboard's settings block has been read.
    int MacroCapacity() const;
    void SetMacroCapacity(int bytes);

    // 0..2 once known, kUnknownProfile otherwise.
    int ActiveProfile() const;
    void SetActiveProfile(int index);
    // The keyboard went away or refused a switch: the next query asks the keyboard again.
    void ForgetActiveProfile();

private:
    mutable std::mutex mutex_;
    KeyMapBlock defaultLayout_;
    int macroCapacity_ = 0;
    int activeProfile_ = kUnknownProfile;
};

} // namespace tavrik
