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

// While a cut-off download is pending, the store file's configuration stands in for the keyboard's:
// says so on standard error (in text and JSON mode alike) and gives true.
bool SayWhereTheConfigurationIsFrom(KeyboardSession& session, const Output& output);

// As RequireKeyboard, and the live profile must mirror the keyboard, so that writing it back
// changes only what the command changes; or a download was cut off, and the live profile is what
// it was to write (the command then finishes it, said by SayWhereTheConfigurationIsFrom).
ExitStatus RequireMirroredProfile(KeyboardSession& session, const Output& output);

// For a command that only reads: as RequireKeyboard, and the keyboard's key maps and macros must
// have been read. Key map entries the program reads as another function are named, each with the
// bytes the keyboard holds, and the command goes on with what it read; a pending download is said
// as SayWhereTheConfigurationIsFrom says it.
ExitStatus RequireReadableProfile(KeyboardSession& session, const Output& output);

// The lighting state must have been read when the session started; otherwise the read's
// failure, DeviceError.
ExitStatus RequireLighting(KeyboardSession& session, const Output& output);

// After an operation that sent configuration frames: every exchange that failed, in the
// DeviceResult's words, and DeviceError; Done when none failed and `succeeded` holds. A failure
// ends with what reached the keyboard: nothing (`why`, when given, says why; otherwise that the
// keyboard holds what it held before), part of it (and that it plays no macros until a download
// is finished, when the macro image was left cleared), or all of it but bytes stored otherwise;
// then what to do.
ExitStatus ReportTransfers(KeyboardSession& session, const Output& output, std::string_view what,
                           bool succeeded, std::string_view why);

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
