#pragma once
// The few operating-system calls the hidapi backend needs, behind one seam: listing the
// keyboard's hidraw nodes, opening them, reading their report descriptors, watching nodes come
// and go, and the facts that tell why a node cannot be opened. The real implementation uses
// hidapi, sysfs and libudev; tests use a fake.

#include "device/turn_place.h"

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
    int interfaceNumber = -1; // the USB interface; -1 when unknown
};

// Who may open a hidraw node, as the system says: its owner, group and permission bits, and
// whether udev tagged it "uaccess" (which gives the user at the seat access to it).
struct HidNodeAccess {
    bool known = false; // false when the node could not be looked at
    uint32_t ownerId = 0;
    uint32_t groupId = 0;
    uint32_t mode = 0; // the permission bits, as 0660
    std::string owner; // names, or the number when the system knows no name
    std::string group;
    bool uaccessTag = false;
};

// The system around the keyboard's nodes, for telling why one cannot be opened.
struct HidSystemFacts {
    std::string hidapiVersion;
    std::string libudevVersion;
    uint32_t userId = 0;
    std::string user;
    std::vector<std::string> udevRules; // those of kUdevRuleFiles that exist
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
    virtual HidNodeAccess NodeAccess(const std::string& path) = 0;
    virtual HidSystemFacts SystemFacts() = 0;
    // Where the programs using the keyboard whose configuration unit is the node `path` take
    // turns; nothing when they cannot.
    virtual std::optional<TurnPlace> TurnPlaceOf(const std::string& path) = 0;
};

} // namespace tavrik
