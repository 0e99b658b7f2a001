#include "device/hid_diagnosis.h"

#include "device/known_units.h"
#include "device/report_descriptor.h"

#include <algorithm>
#include <map>

namespace tavrik {

namespace {

DiagnosedCollection Diagnosed(uint16_t usagePage, uint16_t usage, std::vector<uint8_t> ids) {
    const KnownUnit* known = FindKnownUnit(usagePage, usage);
    return {usagePage, usage, std::move(ids), known != nullptr ? known->name : std::string_view()};
}

void ReadCollections(HidPlatform& platform, const std::vector<HidCollectionInfo>& listed,
                     DiagnosedNode& node) {
    const auto descriptor = platform.ReportDescriptor(node.path);
    const auto parsed = descriptor ? ParseReportDescriptor(*descriptor) : std::nullopt;
    if (parsed) {
        for (const TopLevelCollection& collection : *parsed)
            node.collections.push_back(
                Diagnosed(collection.usagePage, collection.usage, collection.reportIds));
        return;
    }
    node.descriptor = descriptor ? DescriptorState::Malformed : DescriptorState::Unreadable;
    for (const HidCollectionInfo& info : listed)
        node.collections.push_back(Diagnosed(info.usagePage, info.usage, {}));
}

DiagnosedNode DiagnoseNode(HidPlatform& platform, const std::string& path,
                           const std::vector<HidCollectionInfo>& listed) {
    DiagnosedNode node;
    node.path = path;
    node.interfaceNumber = listed.front().interfaceNumber;
    ReadCollections(platform, listed, node);
    node.open = platform.Open(path).failure; // closed again at once
    node.access = platform.NodeAccess(path);
    return node;
}

} // namespace

bool DiagnosedNode::HasUnit(std::string_view unit) const {
    return std::ranges::any_of(collections, [&](const auto& c) { return c.unit == unit; });
}

bool HidDiagnosis::ControlReachable() const {
    return std::ranges::any_of(nodes, [](const DiagnosedNode& node) {
        return node.open == OpenFailure::None && node.HasUnit("CTRL");
    });
}

HidDiagnosis DiagnoseHid(HidPlatform& platform) {
    std::map<std::string, std::vector<HidCollectionInfo>> byPath;
    for (HidCollectionInfo& info : platform.Enumerate(kKeyboardVendorId, kKeyboardProductId))
        byPath[info.path].push_back(std::move(info));
    HidDiagnosis diagnosis{platform.SystemFacts(), {}};
    for (const auto& [path, listed] : byPath)
        diagnosis.nodes.push_back(DiagnoseNode(platform, path, listed));
    return diagnosis;
}

} // namespace tavrik
