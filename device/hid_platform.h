#pragma once
// The few operating-system calls the hidapi backend needs, behind one seam: listing the
// keyboard's hidraw nodes, opening them, reading their report descriptors and watching nodes come
// and go. The real implementation uses hidapi, sysfs and libudev; tests use a fake.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavrik {

// One top-level collection as hidapi lists it; several may share one path.
struct HidCollectionInfo {
    std::string path;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

// An open hidraw node.
class HidNode {
public:
    virtual ~HidNode() = default;
    // Writes one report (report id first); bytes written, or -1.
    virtual int Write(std::span<const uint8_t> report) = 0;
    // Reads one report into `buffer`: its length, 0 when none arrived within `timeout`, -1 when
    // the node failed (the keyboard went away).
    virtual int Read(std::span<uint8_t> buffer, std::chrono::milliseconds timeout) = 0;
};

enum class OpenFailure { None, AccessDenied, Other };

struct OpenedNode {
    std::unique_ptr<HidNode> node; // null when the open failed
    OpenFailure failure = OpenFailure::None;
};

// Tells when hidraw nodes come or go.
class HotplugWatch {
public:
    virtual ~HotplugWatch() = default;
    // Blocks until a node came or went (true) or Wake was called (false).
    virtual bool Wait() = 0;
    // Makes a blocked or the next Wait return false; any thread.
    virtual void Wake() = 0;
};

class HidPlatform {
public:
    virtual ~HidPlatform() = default;
    virtual std::vector<HidCollectionInfo> Enumerate(uint16_t vendorId, uint16_t productId) = 0;
    virtual OpenedNode Open(const std::string& path) = 0;
    // The node's HID report descriptor; nothing when it cannot be read.
    virtual std::optional<std::vector<uint8_t>> ReportDescriptor(const std::string& path) = 0;
    // Nothing when the watch cannot be set up.
    virtual std::unique_ptr<HotplugWatch> WatchHotplug() = 0;
};

} // namespace tavrik
