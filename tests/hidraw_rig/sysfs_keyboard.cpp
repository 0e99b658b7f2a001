#include "hidraw_rig/sysfs_keyboard.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace tavrik::rig {

namespace fs = std::filesystem;

namespace {

const std::string kController = "/devices/pci0000:00/0000:00:14.0";
const std::string kRootHub = kController + "/usb1";
const std::string kUsbDevice = kRootHub + "/1-2"; // bus 1, port 2
inline constexpr int kBusNumber = 1;
inline constexpr int kDeviceNumber = 2;
inline constexpr int kBusUsb = 3;

std::string Hex(unsigned value, int digits, bool upper = false) {
    char text[16];
    std::snprintf(text, sizeof text, upper ? "%0*X" : "%0*x", digits, value);
    return text;
}

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace

SysfsKeyboard::SysfsKeyboard(fs::path root, UsbKeyboard keyboard)
    : root_(std::move(root))
    , keyboard_(std::move(keyboard)) {
    MakeDevice(kController, "pci", "",
               {"PCI_CLASS=C0330", "PCI_ID=8086:A36D", "PCI_SLOT_NAME=0000:00:14.0"});
    MakeDevice(kRootHub, "usb", "usb_device",
               {"MAJOR=189", "MINOR=0", "DEVNAME=bus/usb/001/001", "DEVTYPE=usb_device",
                "DRIVER=usb", "PRODUCT=1d6b/2/606", "TYPE=9/0/1", "BUSNUM=001", "DEVNUM=001"});
    WriteFile(Path(kRootHub) / "idVendor", "1d6b\n");
    WriteFile(Path(kRootHub) / "idProduct", "0002\n");
    devices_.clear();
}

fs::path SysfsKeyboard::Path(const std::string& devpath) const {
    return root_ / devpath.substr(1);
}

// A relative link at `at` to the device `devpath`, as sysfs makes them.
void SysfsKeyboard::Link(const fs::path& at, const std::string& devpath) {
    fs::create_directories(at.parent_path());
    fs::create_directory_symlink(Path(devpath).lexically_relative(at.parent_path()), at);
    links_.push_back(at);
}

SysfsDevice SysfsKeyboard::MakeDevice(const std::string& devpath, const std::string& subsystem,
                                      const std::string& devtype, std::vector<std::string> uevent) {
    const fs::path dir = Path(devpath);
    fs::create_directories(dir);
    WriteFile(dir / "uevent", Joined(uevent));
    const fs::path subsystemDir = root_ / (subsystem == "hidraw" ? "class" : "bus") / subsystem;
    fs::create_directories(subsystemDir);
    fs::create_directory_symlink(subsystemDir.lexically_relative(dir), dir / "subsystem");
    for (const std::string& line : uevent) {
        if (line.starts_with("DRIVER=")) {
            const fs::path driver = subsystemDir / "drivers" / line.substr(7);
            fs::create_directories(driver);
            fs::create_directory_symlink(driver.lexically_relative(dir), dir / "driver");
        }
    }
    devices_.push_back({devpath, subsystem, devtype, std::move(uevent)});
    return devices_.back();
}

SysfsDevice SysfsKeyboard::MakeUsbDevice() {
    const std::string product = Hex(keyboard_.vendorId, 1) + "/" + Hex(keyboard_.productId, 1) +
                                "/" + Hex(keyboard_.release, 1);
    SysfsDevice device =
        MakeDevice(kUsbDevice, "usb", "usb_device",
                   {"MAJOR=189", "MINOR=1", "DEVNAME=bus/usb/001/002", "DEVTYPE=usb_device",
                    "DRIVER=usb", "PRODUCT=" + product, "TYPE=0/0/0", "BUSNUM=001", "DEVNUM=002"});
    const fs::path dir = Path(kUsbDevice);
    const std::pair<const char*, std::string> attributes[] = {
        {"idVendor", Hex(keyboard_.vendorId, 4)},
        {"idProduct", Hex(keyboard_.productId, 4)},
        {"bcdDevice", Hex(keyboard_.release, 4)},
        {"manufacturer", keyboard_.manufacturer},
        {"product", keyboard_.product},
        {"serial", keyboard_.serial},
        {"busnum", std::to_string(kBusNumber)},
        {"devnum", std::to_string(kDeviceNumber)},
        {"speed", "12"},
        {"version", " 2.00"},
        {"bDeviceClass", "00"},
        {"bConfigurationValue", "1"},
        {"bNumInterfaces", " " + std::to_string(keyboard_.interfaces.size())}};
    for (const auto& [name, value] : attributes)
        WriteFile(dir / name, value + "\n");
    Link(root_ / "bus/usb/devices/1-2", kUsbDevice);
    return device;
}

SysfsDevice SysfsKeyboard::MakeInterface(const UsbInterface& interface) {
    const std::string name = "1-2:1." + std::to_string(interface.number);
    const std::string devpath = kUsbDevice + "/" + name;
    const std::string type =
        "3/" + std::to_string(interface.subClass) + "/" + std::to_string(interface.protocol);
    SysfsDevice device =
        MakeDevice(devpath, "usb", "usb_interface",
                   {"DEVTYPE=usb_interface", "DRIVER=usbhid",
                    "PRODUCT=" + Hex(keyboard_.vendorId, 1) + "/" + Hex(keyboard_.productId, 1) +
                        "/" + Hex(keyboard_.release, 1),
                    "TYPE=0/0/0", "INTERFACE=" + type});
    const fs::path dir = Path(devpath);
    WriteFile(dir / "bInterfaceNumber", Hex(interface.number, 2) + "\n");
    WriteFile(dir / "bInterfaceClass", "03\n");
    WriteFile(dir / "bInterfaceSubClass", Hex(interface.subClass, 2) + "\n");
    WriteFile(dir / "bInterfaceProtocol", Hex(interface.protocol, 2) + "\n");
    WriteFile(dir / "bAlternateSetting", " 0\n");
    WriteFile(dir / "bNumEndpoints", "02\n");
    Link(root_ / "bus/usb/devices" / name, devpath);
    return device;
}

SysfsDevice SysfsKeyboard::MakeHidDevice(const UsbInterface& interface, const std::string& name) {
    const std::string devpath =
        kUsbDevice + "/1-2:1." + std::to_string(interface.number) + "/" + name;
    const std::string ids =
        Hex(keyboard_.vendorId, 8, true) + ":" + Hex(keyboard_.productId, 8, true);
    SysfsDevice device =
        MakeDevice(devpath, "hid", "",
                   {"DRIVER=hid-generic", "HID_ID=" + Hex(kBusUsb, 4) + ":" + ids,
                    "HID_NAME=" + keyboard_.HidName(),
                    "HID_PHYS=usb-0000:00:14.0-2/input" + std::to_string(interface.number),
                    "HID_UNIQ=" + keyboard_.serial,
                    "MODALIAS=hid:b0003g0001v" + ids.substr(0, 8) + "p" + ids.substr(9)});
    WriteFile(Path(devpath) / "report_descriptor",
              std::string(interface.descriptor.begin(), interface.descriptor.end()));
    WriteFile(Path(devpath) / "country", "00\n");
    Link(root_ / "bus/hid/devices" / name, devpath);
    return device;
}

SysfsDevice SysfsKeyboard::MakeHidraw(const std::string& hidDevpath, const HidrawNode& node) {
    const std::string devpath = hidDevpath + "/hidraw/" + node.name;
    const std::string number = std::to_string(kHidrawMajor) + ":" + std::to_string(node.minor);
    SysfsDevice device =
        MakeDevice(devpath, "hidraw", "",
                   {"MAJOR=" + std::to_string(kHidrawMajor), "MINOR=" + std::to_string(node.minor),
                    "DEVNAME=" + node.name});
    const fs::path dir = Path(devpath);
    WriteFile(dir / "dev", number + "\n");
    fs::create_directory_symlink("../../../" + hidDevpath.substr(hidDevpath.rfind('/') + 1),
                                 dir / "device");
    Link(root_ / "class/hidraw" / node.name, devpath);
    Link(root_ / "dev/char" / number, devpath);
    return device;
}

// Each interface gets the node of its index: the kernel gives out the lowest free minor, and the
// keyboard's nodes are the only ones here.
const UsbInterface* SysfsKeyboard::InterfaceOfNode(const std::string& name) const {
    for (size_t index = 0; index < keyboard_.interfaces.size(); ++index)
        if (name == "hidraw" + std::to_string(index))
            return &keyboard_.interfaces[index];
    return nullptr;
}

std::vector<SysfsDevice> SysfsKeyboard::Plug() {
    std::vector<SysfsDevice> made{MakeUsbDevice()};
    int minor = 0;
    for (const UsbInterface& interface : keyboard_.interfaces) { // minor = index, as above
        const std::string hidName = Hex(kBusUsb, 4, true) + ":" + Hex(keyboard_.vendorId, 4, true) +
                                    ":" + Hex(keyboard_.productId, 4, true) + "." +
                                    Hex(++plugs_, 4, true);
        const HidrawNode node{"hidraw" + std::to_string(minor), minor, &interface,
                              "usb-0000:00:14.0-2/input" + std::to_string(interface.number)};
        ++minor;
        made.push_back(MakeInterface(interface));
        made.push_back(MakeHidDevice(interface, hidName));
        made.push_back(MakeHidraw(made.back().devpath, node));
        nodes_.push_back(node);
    }
    return made;
}

std::vector<SysfsDevice> SysfsKeyboard::Unplug() {
    std::vector<SysfsDevice> removed(devices_.rbegin(), devices_.rend());
    for (const fs::path& link : links_)
        fs::remove(link);
    fs::remove_all(Path(kUsbDevice));
    devices_.clear();
    links_.clear();
    nodes_.clear();
    return removed;
}

} // namespace tavrik::rig
