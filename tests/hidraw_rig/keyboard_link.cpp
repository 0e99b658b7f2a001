#include "hidraw_rig/keyboard_link.h"

#include "device/known_units.h"
#include "emulator/socket_hid_bridge.h"
#include "hidraw_rig/private_world.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <linux/input.h>

namespace tavrik::rig {

namespace {

struct UnitOfTag {
    UnitTag tag;
    UnitDescriptor unit;
};
inline constexpr UnitOfTag kUnits[] = {
    {UnitTag::Cons, kConsUnit}, {UnitTag::Ctrl, kCtrlUnit}, {UnitTag::Led, kLedUnit}};

const UnitDescriptor& DescriptorOf(UnitTag tag) {
    for (const UnitOfTag& unit : kUnits)
        if (unit.tag == tag)
            return unit.unit;
    return kCtrlUnit;
}

} // namespace

KeyboardLink::KeyboardLink(SysfsKeyboard& sysfs, HidrawFiles& files, UdevAnnouncer& udev,
                           std::filesystem::path filesFolder, std::filesystem::path devFolder,
                           NodeAccess access)
    : sysfs_(sysfs)
    , files_(files)
    , udev_(udev)
    , filesFolder_(std::move(filesFolder))
    , devFolder_(std::move(devFolder))
    , access_(std::move(access)) {}

KeyboardLink::~KeyboardLink() {
    Disconnect();
}

bool KeyboardLink::Connect(const std::string& socketPath, std::string* error) {
    bridge_ = ConnectEmulatorSocket(socketPath, error);
    if (!bridge_)
        return false;
    for (const UnitOfTag& unit : kUnits) {
        auto callback = std::make_unique<UnitCallback>(
            [this, tag = unit.tag](const UnitNotification& n) { return Notified(tag, n); });
        uint32_t id = 0;
        bridge_->RequestAsyncRead(
            unit.unit, callback.get(), unit.tag,
            ArgumentCheck(unit.unit, callback.get(), static_cast<uint32_t>(unit.tag), {}), &id);
        callbacks_.push_back(std::move(callback));
        reads_.push_back(id);
    }
    if (bridge_->RequestGetDeviceCount(kCtrlUnit, ArgumentCheck(kCtrlUnit, nullptr, 0, {})) > 0) {
        std::lock_guard lock(mutex_);
        Plug();
    }
    return true;
}

void KeyboardLink::Disconnect() {
    for (const uint32_t id : reads_)
        bridge_->DeleteRequestFromUnitId(id);
    reads_.clear();
    bridge_.reset();
    callbacks_.clear();
    std::lock_guard lock(mutex_);
    Unplug();
}

int KeyboardLink::Notified(UnitTag unit, const UnitNotification& notification) {
    std::lock_guard lock(mutex_);
    if (notification.kind == static_cast<uint32_t>(NotificationKind::CountChanged)) {
        if (notification.event.lengthOrCount > 0)
            Plug();
        else
            Unplug();
    } else if (notification.kind == static_cast<uint32_t>(NotificationKind::ReportReceived)) {
        Input(unit, {notification.event.report, notification.event.lengthOrCount});
    }
    return 1;
}

void KeyboardLink::Plug() {
    if (plugged_)
        return;
    plugged_ = true;
    const std::vector<SysfsDevice> devices = sysfs_.Plug();
    const UsbKeyboard& keyboard = sysfs_.Keyboard();
    for (const HidrawNode& node : sysfs_.Nodes()) {
        files_.Add({.name = node.name,
                    .descriptor = node.interface->descriptor,
                    .bus = BUS_USB,
                    .vendorId = keyboard.vendorId,
                    .productId = keyboard.productId,
                    .hidName = keyboard.HidName(),
                    .phys = node.phys,
                    .uniq = keyboard.serial,
                    .owner = access_.owner,
                    .group = access_.group,
                    .mode = access_.mode});
        std::string error;
        if (!BindFile(filesFolder_ / node.name, devFolder_ / node.name, &error))
            std::fprintf(stderr, "hidraw-rig: %s\n", error.c_str());
    }
    for (const SysfsDevice& device : devices)
        udev_.Announce("add", device,
                       device.subsystem == "hidraw" ? access_.tags : std::vector<std::string>{});
}

void KeyboardLink::Unplug() {
    if (!plugged_)
        return;
    plugged_ = false;
    for (const HidrawNode& node : sysfs_.Nodes()) {
        files_.Remove(node.name);
        UnbindFile(devFolder_ / node.name);
    }
    for (const SysfsDevice& device : sysfs_.Unplug())
        udev_.Announce("remove", device, {});
}

// The emulator hands a unit's reports over as the program's backends do: configuration frames
// begin with their report id, the keyboard's events do not. On hidraw every report of a node
// with report ids begins with its id.
void KeyboardLink::Input(UnitTag unit, std::span<const uint8_t> report) {
    if (!plugged_)
        return;
    const auto known = std::ranges::find(kKnownUnits, DescriptorOf(unit), &KnownUnit::unit);
    for (const HidrawNode& node : sysfs_.Nodes()) {
        const auto id = node.interface->ReportIdOf(unit);
        if (!id)
            continue;
        std::vector<uint8_t> bytes;
        if (!known->reportIdInData)
            bytes.push_back(*id);
        bytes.insert(bytes.end(), report.begin(), report.end());
        files_.Deliver(node.name, bytes);
    }
}

int KeyboardLink::Output(const std::string& name, std::span<const uint8_t> report) {
    // No lock: plugging may wait for the hidraw files, which wait for this write.
    const UsbInterface* interface = sysfs_.InterfaceOfNode(name);
    const std::optional<UnitTag> unit =
        interface ? interface->UnitOf(report.front()) : std::nullopt;
    if (!unit || *unit == UnitTag::Cons) {
        // The keyboard takes no such report; USB delivers it all the same and it is dropped.
        std::fprintf(stderr, "hidraw-rig: %s: the keyboard declares no output report %u\n",
                     name.c_str(), report.front());
        return 0;
    }
    const UnitDescriptor& descriptor = DescriptorOf(*unit);
    int32_t written = 0;
    if (*unit == UnitTag::Ctrl) {
        written = bridge_->RequestWriteOne(descriptor, report,
                                           ArgumentCheck(descriptor, nullptr, 0, report));
    } else {
        uint32_t id = 0;
        written = bridge_->RequestStatusWrite(
            descriptor, nullptr, *unit, report,
            ArgumentCheck(descriptor, nullptr, static_cast<uint32_t>(*unit), report), &id);
    }
    return written > 0 ? 0 : written == 0 ? ENODEV : EIO;
}

} // namespace tavrik::rig
