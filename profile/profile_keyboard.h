#pragma once
// The keyboard as the profile operations use it: which hardware profile is active, what its
// memory holds, and the download of an applied snapshot. DeviceProfileKeyboard implements it
// over the device commands; tests may use a fake.

#include "device/device_commands.h"
#include "device/keyboard_readout.h"
#include "macro/macro_download.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavrik {

// What the keyboard holds for the profiles: the key maps of its three hardware profiles and
// its macro image (empty when its macro memory holds no image).
using KeyboardContents = KeyMapsAndMacros;

class ProfileKeyboard {
public:
    virtual ~ProfileKeyboard() = default;

    // The cached active index when known, else asked from the keyboard; -1 when it cannot be
    // read.
    virtual int GetActiveProfileIndex() = 0;
    // The cached active index without asking the keyboard; -1 = unknown.
    virtual int CachedActiveProfileIndex() const = 0;
    // Nothing for n < 0; no upper bound. The cache follows the keyboard's answer.
    virtual void SetActiveProfileIndex(int n) = 0;

    // Nothing when any read fails.
    virtual std::optional<KeyboardContents> ReadContents() = 0;
    // The keyboard's factory key map, as read when it was attached.
    virtual KeyMapBlock DefaultLayout() const = 0;
    // The size of its macro memory in bytes, asked from the keyboard when it is not known yet;
    // nothing when the keyboard does not say.
    virtual std::optional<size_t> MacroCapacity() = 0;

    // Sends the snapshot: all three hardware profiles, or only the active one.
    virtual DownloadResult Download(const DownloadSnapshot& snapshot, bool allProfiles,
                                    const MessageCallback& showMessage) = 0;
};

} // namespace tavrik
