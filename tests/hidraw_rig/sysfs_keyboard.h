#pragma once
// The keyboard's part of sysfs, as the kernel makes it when the keyboard is plugged in: the USB
// device with its identity and strings, one USB interface per HID interface, its hid device
// (uevent with HID_ID, HID_NAME, HID_PHYS, HID_UNIQ, and the report descriptor) and its hidraw
// class device, with the links of /sys/class, /sys/bus and /sys/dev. The USB host controller and
// its root hub stay while the keyboard comes and goes.

#include "hidraw_rig/usb_keyboard.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavrik::rig {

// One device as udev announces it.
struct SysfsDevice {
    std::string devpath;             // below /sys: "/devices/..."
    std::string subsystem;           // "usb", "hid", "hidraw"
    std::string devtype;             // "usb_device", "usb_interface" or empty
    std::vector<std::string> uevent; // the lines of its uevent file, "KEY=value"
};

// A hidraw node of the plugged keyboard.
struct HidrawNode {
    std::string name; // "hidraw1"
    int minor = 0;
    const UsbInterface* interface = nullptr;
    std::string phys;
};

class SysfsKeyboard {
public:
    // `root` is the folder shown as /sys; the host controller is made at once.
    SysfsKeyboard(std::filesystem::path root, UsbKeyboard keyboard);

    // Makes the keyboard's devices; parents come first in the list.
    std::vector<SysfsDevice> Plug();
    // Removes them; children come first in the list.
    std::vector<SysfsDevice> Unplug();

    const std::vector<HidrawNode>& Nodes() const { return nodes_; }
    // The interface whose node is `name` while the keyboard is plugged in; any thread.
    const UsbInterface* InterfaceOfNode(const std::string& name) const;
    const UsbKeyboard& Keyboard() const { return keyboard_; }
    static constexpr int kHidrawMajor = 243;

private:
    SysfsDevice MakeDevice(const std::string& devpath, const std::string& subsystem,
                           const std::string& devtype, std::vector<std::string> uevent);
    SysfsDevice MakeUsbDevice();
    SysfsDevice MakeInterface(const UsbInterface& interface);
    SysfsDevice MakeHidDevice(const UsbInterface& interface, const std::string& name);
    SysfsDevice MakeHidraw(const std::string& hidDevpath, const HidrawNode& node);
    void Link(const std::filesystem::path& at, const std::string& devpath);
    std::filesystem::path Path(const std::string& devpath) const;

    std::filesystem::path root_;
    UsbKeyboard keyboard_;
    int plugs_ = 0; // the kernel numbers hid devices anew on every plug
    std::vector<SysfsDevice> devices_;
    std::vector<std::filesystem::path> links_;
    std::vector<HidrawNode> nodes_;
};

} // namespace tavrik::rig
