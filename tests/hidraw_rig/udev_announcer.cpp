#include "hidraw_rig/udev_announcer.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <fstream>
#include <linux/netlink.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrik::rig {

namespace {

// The group udevd sends to; the kernel's own messages go to group 1.
inline constexpr uint32_t kUdevGroup = 2;
inline constexpr uint32_t kUdevMagic = 0xfeedcafe;

// The header libudev puts before the properties; its numbers are in network order where the
// monitors' kernel filters read them.
struct MessageHeader {
    char prefix[8] = "libudev";
    uint32_t magic = htonl(kUdevMagic);
    uint32_t headerSize = sizeof(MessageHeader);
    uint32_t propertiesOffset = sizeof(MessageHeader);
    uint32_t propertiesLength = 0;
    uint32_t subsystemHash = 0;
    uint32_t devtypeHash = 0;
    uint32_t tagBloomHigh = 0;
    uint32_t tagBloomLow = 0;
};

// Four bits of the 64-bit bloom filter per tag.
uint64_t TagBloom(std::string_view tag) {
    const uint32_t hash = UdevHash(tag);
    uint64_t bits = 0;
    for (int shift = 0; shift < 24; shift += 6)
        bits |= uint64_t{1} << ((hash >> shift) & 63);
    return bits;
}

uint64_t MicrosecondsSinceBoot() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::optional<std::string> UeventValue(const SysfsDevice& device, std::string_view key) {
    for (const std::string& line : device.uevent)
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=')
            return line.substr(key.size() + 1);
    return std::nullopt;
}

std::string TagList(const std::vector<std::string>& tags) {
    std::string list = ":";
    for (const std::string& tag : tags)
        list += tag + ":";
    return list;
}

} // namespace

uint32_t UdevHash(std::string_view text) {
    constexpr uint32_t m = 0x5bd1e995;
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    size_t length = text.size();
    uint32_t hash = static_cast<uint32_t>(length);
    for (; length >= 4; data += 4, length -= 4) {
        uint32_t k = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
        k *= m;
        k ^= k >> 24;
        k *= m;
        hash = hash * m ^ k;
    }
    switch (length) {
    case 3:
        hash ^= data[2] << 16;
        [[fallthrough]];
    case 2:
        hash ^= data[1] << 8;
        [[fallthrough]];
    case 1:
        hash ^= data[0];
        hash *= m;
    }
    hash ^= hash >> 13;
    hash *= m;
    return hash ^ hash >> 15;
}

std::unique_ptr<UdevAnnouncer> UdevAnnouncer::Open(const std::filesystem::path& runUdev,
                                                   std::string* error) {
    std::error_code failure;
    std::filesystem::create_directories(runUdev / "data", failure);
    std::ofstream(runUdev / "control");
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    sockaddr_nl self{.nl_family = AF_NETLINK, .nl_pad = 0, .nl_pid = 0, .nl_groups = 0};
    if (failure || fd < 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0) {
        *error = std::string("cannot open udev's netlink socket: ") + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<UdevAnnouncer>(new UdevAnnouncer(fd, runUdev));
}

UdevAnnouncer::UdevAnnouncer(int socket, std::filesystem::path runUdev)
    : socket_(socket)
    , runUdev_(std::move(runUdev)) {}

UdevAnnouncer::~UdevAnnouncer() {
    ::close(socket_);
}

void UdevAnnouncer::KeepDatabaseEntry(std::string_view action, const SysfsDevice& device,
                                      const std::vector<std::string>& tags) {
    const auto major = UeventValue(device, "MAJOR");
    const auto minor = UeventValue(device, "MINOR");
    if (!major || !minor)
        return;
    const auto entry = runUdev_ / "data" / ("c" + *major + ":" + *minor);
    if (action == "remove") {
        std::filesystem::remove(entry);
        return;
    }
    std::ofstream out(entry);
    out << "I:" << MicrosecondsSinceBoot() << "\n";
    for (const std::string& tag : tags)
        out << "G:" << tag << "\nQ:" << tag << "\n";
    out << "V:1\n";
}

void UdevAnnouncer::Announce(std::string_view action, const SysfsDevice& device,
                             const std::vector<std::string>& tags) {
    KeepDatabaseEntry(action, device, tags);
    std::string properties;
    const auto add = [&](std::string_view key, std::string_view value) {
        properties.append(key).append("=").append(value).push_back('\0');
    };
    add("ACTION", action);
    add("DEVPATH", device.devpath);
    add("SUBSYSTEM", device.subsystem);
    for (const std::string& line : device.uevent) {
        const auto equals = line.find('=');
        const std::string key = line.substr(0, equals);
        // udev names device nodes by their full path; the kernel below /dev.
        add(key, (key == "DEVNAME" ? "/dev/" : "") + line.substr(equals + 1));
    }
    add("SEQNUM", std::to_string(++sequence_));
    add("USEC_INITIALIZED", std::to_string(MicrosecondsSinceBoot()));
    if (!tags.empty()) {
        add("TAGS", TagList(tags));
        add("CURRENT_TAGS", TagList(tags));
    }

    MessageHeader header;
    header.propertiesLength = static_cast<uint32_t>(properties.size());
    header.subsystemHash = htonl(UdevHash(device.subsystem));
    if (!device.devtype.empty())
        header.devtypeHash = htonl(UdevHash(device.devtype));
    uint64_t bloom = 0;
    for (const std::string& tag : tags)
        bloom |= TagBloom(tag);
    header.tagBloomHigh = htonl(static_cast<uint32_t>(bloom >> 32));
    header.tagBloomLow = htonl(static_cast<uint32_t>(bloom));

    iovec parts[] = {{&header, sizeof header}, {properties.data(), properties.size()}};
    sockaddr_nl group{.nl_family = AF_NETLINK, .nl_pad = 0, .nl_pid = 0, .nl_groups = kUdevGroup};
    msghdr message{};
    message.msg_name = &group;
    message.msg_namelen = sizeof group;
    message.msg_iov = parts;
    message.msg_iovlen = 2;
    // Nobody listening is no failure (ECONNREFUSED), as for udevd.
    [[maybe_unused]] const ssize_t sent = ::sendmsg(socket_, &message, 0);
}

} // namespace tavrik::rig
