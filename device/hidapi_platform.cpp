#include "device/hidapi_platform.h"

#include "device/udev_rule.h"

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TAVRIK_LIBUDEV_VERSION
#define TAVRIK_LIBUDEV_VERSION "unknown"
#endif

namespace tavrik {

namespace {

// The largest report descriptor the kernel accepts (HID_MAX_DESCRIPTOR_SIZE).
inline constexpr std::streamsize kMaxDescriptorSize = 4096;

class HidapiNode final : public HidNode {
public:
    explicit HidapiNode(hid_device* device)
        : device_(device) {}
    ~HidapiNode() override { hid_close(device_); }
    HidapiNode(const HidapiNode&) = delete;
    HidapiNode& operator=(const HidapiNode&) = delete;

    int Write(std::span<const uint8_t> report) override {
        return hid_write(device_, report.data(), report.size());
    }
    // hidapi ends its wait with -1 when a signal handler of the program interrupts it; the node
    // is still there, so that is no report yet rather than a keyboard gone.
    int Read(std::span<uint8_t> buffer, std::chrono::milliseconds timeout) override {
        errno = 0;
        const int length = hid_read_timeout(device_, buffer.data(), buffer.size(),
                                            static_cast<int>(timeout.count()));
        return length < 0 && errno == EINTR ? 0 : length;
    }

private:
    hid_device* device_;
};

// hidapi does not keep the reason an open failed; opening the node once more does.
OpenFailure WhyOpenFailed(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return OpenFailure::Other;
    }
    return errno == EACCES || errno == EPERM ? OpenFailure::AccessDenied : OpenFailure::Other;
}

// "/dev/hidraw3" -> "hidraw3"; empty for anything that is not a hidraw node name.
std::string HidrawName(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.rfind("hidraw", 0) != 0 || name.find("..") != std::string::npos)
        return {};
    return name;
}

// "/dev/hidraw3" -> "/sys/class/hidraw/hidraw3/device/report_descriptor"; empty for anything
// that is not a hidraw node name.
std::string DescriptorPath(const std::string& path) {
    const std::string name = HidrawName(path);
    return name.empty() ? std::string() : "/sys/class/hidraw/" + name + "/device/report_descriptor";
}

// The name of a user or group from the system's database; the number when it has none.
template <typename Entry, typename Id>
std::string NameOf(Id id, int (*lookup)(Id, Entry*, char*, size_t, Entry**), char* Entry::*name) {
    Entry entry{};
    Entry* found = nullptr;
    char buffer[1024];
    if (lookup(id, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
        return found->*name;
    return std::to_string(id);
}

std::string UserName(uid_t id) {
    return NameOf<passwd>(id, getpwuid_r, &passwd::pw_name);
}

std::string GroupName(gid_t id) {
    return NameOf<group>(id, getgrgid_r, &group::gr_name);
}

// Whether udev's database gives the node the "uaccess" tag.
bool HasUaccessTag(const std::string& path) {
    const std::string name = HidrawName(path);
    udev* context = udev_new();
    if (name.empty() || context == nullptr) {
        udev_unref(context);
        return false;
    }
    udev_device* device = udev_device_new_from_subsystem_sysname(context, "hidraw", name.c_str());
    const bool tagged = device != nullptr && udev_device_has_tag(device, "uaccess") > 0;
    udev_device_unref(device);
    udev_unref(context);
    return tagged;
}

class UdevHotplugWatch final : public HotplugWatch {
public:
    static std::unique_ptr<UdevHotplugWatch> Create() {
        udev* context = udev_new();
        if (!context)
            return nullptr;
        udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
        const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        auto watch =
            std::unique_ptr<UdevHotplugWatch>(new UdevHotplugWatch(context, monitor, wake));
        if (!monitor || wake < 0 ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
            udev_monitor_enable_receiving(monitor) < 0)
            return nullptr;
        return watch;
    }

    ~UdevHotplugWatch() override {
        if (wake_ >= 0)
            ::close(wake_);
        udev_monitor_unref(monitor_);
        udev_unref(context_);
    }
    UdevHotplugWatch(const UdevHotplugWatch&) = delete;
    UdevHotplugWatch& operator=(const UdevHotplugWatch&) = delete;

    bool Wait() override {
        pollfd fds[] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {wake_, POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (fds[1].revents != 0)
                return false;
            if (udev_device* device = udev_monitor_receive_device(monitor_)) {
                udev_device_unref(device);
                return true;
            }
        }
    }

    void Wake() override {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
    }

private:
    UdevHotplugWatch(udev* context, udev_monitor* monitor, int wake)
        : context_(context)
        , monitor_(monitor)
        , wake_(wake) {}

    udev* context_;
    udev_monitor* monitor_;
    int wake_;
};

class HidapiPlatform final : public HidPlatform {
public:
    ~HidapiPlatform() override { hid_exit(); }

    std::vector<HidCollectionInfo> Enumerate(uint16_t vendorId, uint16_t productId) override {
        std::vector<HidCollectionInfo> found;
        hid_device_info* list = hid_enumerate(vendorId, productId);
        for (const hid_device_info* info = list; info != nullptr; info = info->next)
            if (info->path)
                found.push_back(
                    {info->path, info->usage_page, info->usage, info->interface_number});
        hid_free_enumeration(list);
        return found;
    }

    OpenedNode Open(const std::string& path) override {
        if (hid_device* device = hid_open_path(path.c_str()))
            return {std::make_unique<HidapiNode>(device), OpenFailure::None};
        return {nullptr, WhyOpenFailed(path)};
    }

    std::optional<std::vector<uint8_t>> ReportDescriptor(const std::string& path) override {
        const std::string file = DescriptorPath(path);
        if (file.empty())
            return std::nullopt;
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::vector<uint8_t> bytes(static_cast<size_t>(kMaxDescriptorSize));
        in.read(reinterpret_cast<char*>(bytes.data()), kMaxDescriptorSize);
        bytes.resize(static_cast<size_t>(in.gcount()));
        return bytes;
    }

    std::unique_ptr<HotplugWatch> WatchHotplug() override { return UdevHotplugWatch::Create(); }

    HidNodeAccess NodeAccess(const std::string& path) override {
        struct stat facts {};
        if (::stat(path.c_str(), &facts) != 0)
            return {};
        return {.known = true,
                .ownerId = facts.st_uid,
                .groupId = facts.st_gid,
                .mode = static_cast<uint32_t>(facts.st_mode & 07777),
                .owner = UserName(facts.st_uid),
                .group = GroupName(facts.st_gid),
                .uaccessTag = HasUaccessTag(path)};
    }

    std::optional<TurnPlace> TurnPlaceOf(const std::string& path) override {
        return HidrawTurnPlace(path);
    }

    HidSystemFacts SystemFacts() override {
        HidSystemFacts facts{.hidapiVersion = hid_version_str(),
                             .libudevVersion = TAVRIK_LIBUDEV_VERSION,
                             .userId = ::getuid(),
                             .user = UserName(::getuid()),
                             .udevRules = {}};
        std::error_code error;
        for (const std::string_view rule : kUdevRuleFiles)
            if (std::filesystem::exists(rule, error))
                facts.udevRules.emplace_back(rule);
        return facts;
    }
};

} // namespace

std::unique_ptr<HidPlatform> MakeHidapiPlatform(std::string* error) {
    if (hid_init() != 0) {
        if (error)
            *error = "cannot initialise hidapi";
        return nullptr;
    }
    return std::make_unique<HidapiPlatform>();
}

} // namespace tavrik
