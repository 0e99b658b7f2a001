#pragma once
// Joins a keyboard served by `tavrik-emu serve` to the system as the kernel and udev would show
// it: while the emulated keyboard is plugged in, its sysfs devices, its hidraw files at
// /dev/hidrawN and udev's announcements exist; its input reports reach the hidraw files with the
// report id of their unit, and output reports written to them reach the keyboard.

#include "hidraw_rig/hidraw_files.h"
#include "hidraw_rig/sysfs_keyboard.h"
#include "hidraw_rig/udev_announcer.h"

#include "device/hid_bridge.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace tavrik::rig {

// Who may open the keyboard's nodes, and the tags udev gives them.
struct NodeAccess {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0600;
    std::vector<std::string> tags;
};

class KeyboardLink {
public:
    // `filesFolder` is where `files` are mounted; `devFolder` is /dev.
    KeyboardLink(SysfsKeyboard& sysfs, HidrawFiles& files, UdevAnnouncer& udev,
                 std::filesystem::path filesFolder, std::filesystem::path devFolder,
                 NodeAccess access);
    ~KeyboardLink();
    KeyboardLink(const KeyboardLink&) = delete;
    KeyboardLink& operator=(const KeyboardLink&) = delete;

    // Connects to the emulator's socket and shows its keyboard if it is plugged in.
    bool Connect(const std::string& socketPath, std::string* error);
    // Takes the keyboard away, as unplugging would.
    void Disconnect();

    // An output report written to a hidraw file; 0 or an errno.
    int Output(const std::string& node, std::span<const uint8_t> report);

private:
    int Notified(UnitTag unit, const UnitNotification& notification);
    void Plug();
    void Unplug();
    void Input(UnitTag unit, std::span<const uint8_t> report);

    SysfsKeyboard& sysfs_;
    HidrawFiles& files_;
    UdevAnnouncer& udev_;
    std::filesystem::path filesFolder_;
    std::filesystem::path devFolder_;
    NodeAccess access_;
    std::mutex mutex_; // plugging and reports, in the order the emulator sends them
    bool plugged_ = false;
    std::unique_ptr<HidBridge> bridge_;
    std::vector<std::unique_ptr<UnitCallback>> callbacks_;
    std::vector<uint32_t> reads_;
};

} // namespace tavrik::rig
