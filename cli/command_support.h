#pragma once
// What every command shares: where its output goes and how it turns the keyboard's state and
// results into exit statuses and plain words.

#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/json.h"
#include "device/device_result.h"
#include "profile/profile_transfer.h"

#include <functional>
#include <string>
#include <string_view>

namespace tavrik::cli {

class KeyboardSession;

struct Output {
    Console& console;
    bool json = false;

    // The JSON document with --json, else the text.
    void Result(const JsonValue& document, std::string_view text) const;
    ExitStatus Fail(ExitStatus status, std::string_view message) const;
};

// "1 macro", "2 macros": a count and the thing counted, in the singular for one.
std::string Counted(size_t count, std::string_view thing);

// A keyboard must be attached: otherwise says so once, with what to do about it (plug one in,
// wait for one, try the demo keyboard; install the udev rule when one is there but cannot be
// opened), and gives DeviceError.
ExitStatus RequireKeyboard(KeyboardSession& session, const Output& output);

// As RequireKeyboard, and the live profile must mirror the keyboard, so that writing it back
// changes only what the command changes; or a download was cut off, and the live profile is what
// it was to write (the command then finishes it).
ExitStatus RequireMirroredProfile(KeyboardSession& session, const Output& output);

// The lighting state must have been read when the session started; otherwise the read's
// failure, DeviceError.
ExitStatus RequireLighting(KeyboardSession& session, const Output& output);

// After an operation that sent configuration frames: every exchange that failed, in the
// DeviceResult's words, and DeviceError; Done when none failed and `succeeded` holds. An
// operation that failed without a failed exchange sent nothing (`nothingSent` says why).
ExitStatus ReportTransfers(KeyboardSession& session, const Output& output, std::string_view what,
                           bool succeeded, std::string_view nothingSent);

// A command's own DeviceResult: Done, or the failure named.
ExitStatus ReportResult(KeyboardSession& session, const Output& output, std::string_view what,
                        DeviceResult result);

// What the main window's Apply does with the live profile: save it into the store file and
// download it, the active hardware profile's key map or all three. Reports as ReportTransfers.
ExitStatus SaveAndDownload(KeyboardSession& session, const Output& output, bool allProfiles);

// After restore or import: a refused file as "PATH was not DONE" (BadFile), the download's
// failures as ReportTransfers gives them; then what `then` does after a download (import: the
// lighting), and when that is done too the result {"DONE": PATH}.
ExitStatus ReportImport(KeyboardSession& session, const Output& output, ImportOutcome outcome,
                        const std::string& path, std::string_view done,
                        const std::function<ExitStatus()>& then = {});

} // namespace tavrik::cli
