#include "cli/doctor_report.h"

#include "device/udev_rule.h"

#include <algorithm>
#include <cstdio>

namespace tavrik::cli {

namespace {

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string Octal(uint32_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode);
    return text;
}

std::string Milliseconds(std::chrono::microseconds took) {
    char text[24];
    std::snprintf(text, sizeof text, "%.1f ms", static_cast<double>(took.count()) / 1000.0);
    return text;
}

const char* OpenText(OpenFailure failure) {
    switch (failure) {
    case OpenFailure::None:
        return "opens";
    case OpenFailure::AccessDenied:
        return "permission denied";
    case OpenFailure::Other:
        break;
    }
    return "cannot be opened";
}

const char* DescriptorText(DescriptorState state) {
    switch (state) {
    case DescriptorState::Parsed:
        return "read";
    case DescriptorState::Unreadable:
        return "unreadable";
    case DescriptorState::Malformed:
        break;
    }
    return "malformed";
}

std::string ReportIdsText(const std::vector<uint8_t>& ids) {
    if (ids.empty())
        return "reports without id";
    std::string text = ids.size() == 1 ? "report " : "reports ";
    for (size_t i = 0; i < ids.size(); ++i)
        text += (i ? ", " : "") + std::to_string(ids[i]);
    return text;
}

std::string CollectionText(const DiagnosedCollection& collection) {
    const std::string unit =
        collection.unit.empty() ? "not used" : "-> " + std::string(collection.unit);
    return "    collection " + Hex4(collection.usagePage) + ":" + Hex4(collection.usage) + ", " +
           ReportIdsText(collection.reportIds) + " " + unit + "\n";
}

// Why the user may not open the node, and the one thing to do about it.
std::string AccessAdvice(const DiagnosedNode& node, const HidSystemFacts& system) {
    const HidNodeAccess& access = node.access;
    std::string text;
    if (access.known)
        text += "    owner " + access.owner + ", group " + access.group + ", mode " +
                Octal(access.mode) + ", " + (access.uaccessTag ? "" : "no ") + "uaccess tag\n";
    if (system.udevRules.empty())
        return text +
               "    the udev rule is not installed: install the tavrik package (it puts "
               "the rule in " +
               std::string(kUdevRuleFile) + "), then run\n      " +
               std::string(kApplyUdevRulesCommand) + "\n    and plug the keyboard in again\n";
    if (!access.uaccessTag)
        return text + "    the rule is installed but not applied to this node: run\n      " +
               std::string(kApplyUdevRulesCommand) + "\n    and plug the keyboard in again\n";
    return text + "    the node is tagged for the user at the seat, and " + system.user +
           " is not that user (a remote or second login?): run the program from the seat's "
           "session\n";
}

std::string NodeText(const DiagnosedNode& node, const HidSystemFacts& system) {
    std::string text = "  " + node.path + ", interface " +
                       (node.interfaceNumber >= 0 ? std::to_string(node.interfaceNumber) : "?") +
                       ", report descriptor " + DescriptorText(node.descriptor) + "\n";
    for (const DiagnosedCollection& collection : node.collections)
        text += CollectionText(collection);
    text += std::string("    ") + OpenText(node.open) + "\n";
    if (node.open == OpenFailure::AccessDenied)
        text += AccessAdvice(node, system);
    return text;
}

std::string HidText(const HidDiagnosis& hid) {
    const HidSystemFacts& system = hid.system;
    std::string text = "hidapi " + system.hidapiVersion + ", libudev " + system.libudevVersion +
                       "\nuser: " + system.user + " (uid " + std::to_string(system.userId) + ")\n";
    text += "udev rule: ";
    for (const std::string& rule : system.udevRules)
        text += rule + " ";
    text += system.udevRules.empty() ? "not installed\n" : "installed\n";
    text += "hidraw nodes of 04B4:2009: " + std::to_string(hid.nodes.size()) + "\n";
    for (const DiagnosedNode& node : hid.nodes)
        text += NodeText(node, system);
    return text;
}

std::string SelfTestText(const DoctorFindings& findings) {
    if (!findings.sessionError.empty())
        return "the keyboard cannot be reached: " + findings.sessionError + "\n";
    if (findings.keyboards == 0)
        return "self-test: skipped, no keyboard can be reached\n";
    std::string text = "self-test (reads only):\n";
    for (const SelfTestStep& step : findings.selfTest) {
        std::string line = "  " + step.exchange;
        line.resize(std::max<size_t>(line.size() + 1, 34), ' ');
        text += line + DeviceResultName(step.result) + "  " + Milliseconds(step.took) + "\n";
    }
    return text;
}

JsonValue CollectionJson(const DiagnosedCollection& collection) {
    JsonValue ids = JsonValue::MakeArray();
    for (const uint8_t id : collection.reportIds)
        ids.Append(id);
    return JsonValue::MakeObject()
        .Set("usagePage", collection.usagePage)
        .Set("usage", collection.usage)
        .Set("reportIds", std::move(ids))
        .Set("unit",
             collection.unit.empty() ? JsonValue() : JsonValue(std::string(collection.unit)));
}

JsonValue NodeJson(const DiagnosedNode& node) {
    JsonValue collections = JsonValue::MakeArray();
    for (const DiagnosedCollection& collection : node.collections)
        collections.Append(CollectionJson(collection));
    JsonValue access;
    if (node.access.known)
        access = JsonValue::MakeObject()
                     .Set("owner", node.access.owner)
                     .Set("group", node.access.group)
                     .Set("mode", Octal(node.access.mode))
                     .Set("uaccessTag", node.access.uaccessTag);
    return JsonValue::MakeObject()
        .Set("path", node.path)
        .Set("interface", node.interfaceNumber)
        .Set("reportDescriptor", DescriptorText(node.descriptor))
        .Set("collections", std::move(collections))
        .Set("open", OpenText(node.open))
        .Set("access", std::move(access));
}

JsonValue HidJson(const HidDiagnosis& hid) {
    JsonValue rules = JsonValue::MakeArray();
    for (const std::string& rule : hid.system.udevRules)
        rules.Append(rule);
    JsonValue nodes = JsonValue::MakeArray();
    for (const DiagnosedNode& node : hid.nodes)
        nodes.Append(NodeJson(node));
    return JsonValue::MakeObject()
        .Set("hidapi", hid.system.hidapiVersion)
        .Set("libudev", hid.system.libudevVersion)
        .Set("user", hid.system.user)
        .Set("uid", hid.system.userId)
        .Set("udevRules", std::move(rules))
        .Set("nodes", std::move(nodes));
}

JsonValue SelfTestJson(const std::vector<SelfTestStep>& steps) {
    JsonValue json = JsonValue::MakeArray();
    for (const SelfTestStep& step : steps)
        json.Append(JsonValue::MakeObject()
                        .Set("exchange", step.exchange)
                        .Set("result", DeviceResultName(step.result))
                        .Set("microseconds", static_cast<int64_t>(step.took.count())));
    return json;
}

} // namespace

bool DoctorFindings::Ok() const {
    const bool everyReadDone = std::ranges::all_of(
        selfTest, [](const SelfTestStep& step) { return step.result == DeviceResult::Done; });
    return sessionError.empty() && hidError.empty() && keyboards > 0 && !selfTest.empty() &&
           everyReadDone && (!hid || hid->ControlReachable());
}

std::string DoctorText(const DoctorFindings& findings) {
    std::string text =
        "tavrikctl doctor: looks, never writes\ntransport: " + findings.transport + "\n";
    if (!findings.hidError.empty())
        text += "hidraw nodes cannot be looked at: " + findings.hidError + "\n";
    if (findings.hid)
        text += HidText(*findings.hid);
    text += "keyboards attached: " + std::to_string(findings.keyboards) + "\n";
    text += SelfTestText(findings);
    text += findings.Ok() ? "result: everything the program needs works\n"
                          : "result: the program cannot configure the keyboard\n";
    return text;
}

JsonValue DoctorJson(const DoctorFindings& findings) {
    return JsonValue::MakeObject()
        .Set("transport", findings.transport)
        .Set("hid", findings.hid ? HidJson(*findings.hid) : JsonValue())
        .Set("hidError", findings.hidError.empty() ? JsonValue() : JsonValue(findings.hidError))
        .Set("sessionError",
             findings.sessionError.empty() ? JsonValue() : JsonValue(findings.sessionError))
        .Set("keyboards", findings.keyboards)
        .Set("selfTest", SelfTestJson(findings.selfTest))
        .Set("ok", findings.Ok());
}

} // namespace tavrik::cli
