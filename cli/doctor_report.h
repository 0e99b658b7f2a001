#pragma once
// What tavrikctl doctor found, as text in the order a person would check it, and as JSON for bug
// reports.

#include "cli/doctor_self_test.h"
#include "cli/json.h"
#include "device/hid_diagnosis.h"

#include <optional>
#include <string>
#include <vector>

namespace tavrik::cli {

struct DoctorFindings {
    std::string transport;           // "hid", "demo" or "emu:PATH"
    std::optional<HidDiagnosis> hid; // the hidraw nodes, for the hid transport
    std::string hidError;            // why the nodes could not be looked at
    std::string sessionError;        // why the keyboard could not be reached at all
    int keyboards = 0;               // attached, as the program counts them
    std::vector<SelfTestStep> selfTest;

    // Everything the program needs works: the keyboard is reached and every read succeeds.
    bool Ok() const;
};

std::string DoctorText(const DoctorFindings& findings);
JsonValue DoctorJson(const DoctorFindings& findings);

} // namespace tavrik::cli
