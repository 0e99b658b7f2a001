// tavrikctl doctor: everything between the program and the keyboard, in the order a person would
// check it, without writing anything to the keyboard.
#include "cli/commands.h"
#include "cli/doctor_report.h"
#include "cli/keyboard_session.h"
#include "device/hidapi_platform.h"

namespace tavrik::cli {

namespace {

std::string TransportName(const DeviceChoice& choice) {
    switch (choice.kind) {
    case DeviceChoice::Kind::Demo:
        return "demo (an emulated keyboard inside tavrikctl)";
    case DeviceChoice::Kind::Emulator:
        return "emu:" + choice.socketPath + " (an emulated keyboard served by tavrik-emu)";
    case DeviceChoice::Kind::Hid:
        break;
    }
    return "hid (real keyboards through hidraw)";
}

// The nodes are opened and closed again before the keyboard session opens them for good.
void LookAtHidrawNodes(DoctorFindings& findings) {
    std::string error;
    if (const std::unique_ptr<HidPlatform> platform = MakeHidapiPlatform(&error))
        findings.hid = DiagnoseHid(*platform);
    else
        findings.hidError = error;
}

void TestTheKeyboard(KeyboardSession& session, DoctorFindings& findings) {
    findings.keyboards = session.KeyboardCount();
    if (findings.keyboards > 0)
        findings.selfTest = RunSelfTest(session.Commands());
}

ExitStatus Report(const DoctorFindings& findings, const Output& output) {
    output.Result(DoctorJson(findings), DoctorText(findings));
    return findings.Ok() ? ExitStatus::Done : ExitStatus::DeviceError;
}

} // namespace

ExitStatus RunDoctor(const DeviceChoice& choice, const Output& output) {
    DoctorFindings findings;
    findings.transport = TransportName(choice);
    if (choice.kind == DeviceChoice::Kind::Hid)
        LookAtHidrawNodes(findings);
    std::string error;
    if (const auto session = KeyboardSession::Open(choice, output.console, &error))
        TestTheKeyboard(*session, findings);
    else
        findings.sessionError = error;
    return Report(findings, output);
}

ExitStatus RunDoctor(KeyboardSession& session, const Output& output) {
    DoctorFindings findings;
    findings.transport = "the keyboard session given";
    TestTheKeyboard(session, findings);
    return Report(findings, output);
}

} // namespace tavrik::cli
