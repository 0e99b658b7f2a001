#pragma once
// Everything between the program and the keyboard's hidraw nodes, looked at without writing
// anything: each node's interface, its top-level collections and report ids as its report
// descriptor declares them, the unit each collection's reports are routed to, whether the node
// can be opened, and who may open it.

#include "device/hid_platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

struct DiagnosedCollection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::vector<uint8_t> reportIds; // empty: the reports carry no id
    std::string_view unit;          // "LED", "CONS", "CTRL"; empty for a collection not used
};

enum class DescriptorState { Parsed, Unreadable, Malformed };

struct DiagnosedNode {
    std::string path;
    int interfaceNumber = -1;
    DescriptorState descriptor = DescriptorState::Parsed;
    // From the report descriptor; as hidapi lists them (without report ids) when it could not
    // be read or parsed.
    std::vector<DiagnosedCollection> collections;
    OpenFailure open = OpenFailure::None; // the node was opened and closed again
    HidNodeAccess access;

    bool HasUnit(std::string_view unit) const;
};

struct HidDiagnosis {
    HidSystemFacts system;
    std::vector<DiagnosedNode> nodes; // in path order

    // Whether a node with the configuration unit opens: the keyboard can be configured.
    bool ControlReachable() const;
};

HidDiagnosis DiagnoseHid(HidPlatform& platform);

} // namespace tavrik
