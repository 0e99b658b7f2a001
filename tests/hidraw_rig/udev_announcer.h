#pragma once
// Announces devices coming and going as udevd does once its rules ran: a netlink message to the
// "udev" group of NETLINK_KOBJECT_UEVENT, with libudev's header (its magic, the hashes of the
// subsystem and device type its monitors filter on in the kernel, the bloom filter of the tags)
// and the device's properties. It also keeps udev's database entry of device nodes
// (/run/udev/data/cMAJOR:MINOR), where libudev reads a node's tags.

#include "hidraw_rig/sysfs_keyboard.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::rig {

class UdevAnnouncer {
public:
    // `runUdev` is udev's run-time folder (/run/udev); its "control" file tells libudev that udev
    // runs, without which libudev's monitors listen to nothing.
    static std::unique_ptr<UdevAnnouncer> Open(const std::filesystem::path& runUdev,
                                               std::string* error);
    ~UdevAnnouncer();
    UdevAnnouncer(const UdevAnnouncer&) = delete;
    UdevAnnouncer& operator=(const UdevAnnouncer&) = delete;

    // Sends "add" or "remove" for the device with the given tags; writes or removes the database
    // entry of a device node first.
    void Announce(std::string_view action, const SysfsDevice& device,
                  const std::vector<std::string>& tags);

private:
    UdevAnnouncer(int socket, std::filesystem::path runUdev);
    void KeepDatabaseEntry(std::string_view action, const SysfsDevice& device,
                           const std::vector<std::string>& tags);

    int socket_;
    std::filesystem::path runUdev_;
    uint64_t sequence_ = 1000;
};

// libudev's hash of a property (MurmurHash2, seed 0), which its monitors' kernel filters compare.
uint32_t UdevHash(std::string_view text);

} // namespace tavrik::rig
