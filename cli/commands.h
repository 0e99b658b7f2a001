#pragma once
// tavrikctl's commands, one function each. Each gives the exit status; results go to standard
// output (JSON with --json), errors to standard error.

#include "cli/command_line.h"
#include "cli/command_support.h"
#include "transport/backend_selection.h"

#include <istream>
#include <optional>
#include <string>

namespace tavrik::cli {

class KeyboardSession;

// info_command.cpp
ExitStatus RunInfo(KeyboardSession& session, const Output& output);

// profile_commands.cpp
ExitStatus RunProfile(KeyboardSession& session, const Output& output,
                      const ProfileRequest& request);
ExitStatus RunBackup(KeyboardSession& session, const Output& output, const FileRequest& request);
ExitStatus RunRestore(KeyboardSession& session, const Output& output, const FileRequest& request);
ExitStatus RunValidate(const Output& output, const FileRequest& request);

// profile_text_commands.cpp: diff of two files needs no keyboard, and is given none.
ExitStatus RunExportText(KeyboardSession& session, const Output& output,
                         const ProfileTextRequest& request);
ExitStatus RunImport(KeyboardSession& session, const Output& output,
                     const ProfileTextRequest& request);
ExitStatus RunDiff(KeyboardSession* session, const Output& output,
                   const ProfileTextRequest& request);

// dump_command.cpp
ExitStatus RunDumpFile(const Output& output, const FileRequest& request);
ExitStatus RunDumpKeyboard(KeyboardSession& session, const Output& output);

// remap_command.cpp
ExitStatus RunRemap(KeyboardSession& session, const Output& output, const RemapRequest& request);

// macro_commands.cpp; `input` is what "-" reads.
ExitStatus RunMacro(KeyboardSession& session, const Output& output, const MacroRequest& request,
                    std::istream& input);
// An action list from standard input, read as it comes up to the same bound as a file; nothing
// and why when it is too large or cannot be read.
std::optional<std::string> ReadActionInput(std::istream& input, std::string& problem);

// lighting_commands.cpp
ExitStatus RunLighting(KeyboardSession& session, const Output& output,
                       const LightingRequest& request);

// watch_command.cpp
ExitStatus RunWatch(KeyboardSession& session, const Output& output, const WatchRequest& request);

// names_command.cpp
ExitStatus RunNames(const Output& output, const NamesRequest& request);

// doctor_command.cpp: the first opens the keyboard itself, so that it can tell why it cannot;
// the second only tests a keyboard already reached.
ExitStatus RunDoctor(const DeviceChoice& choice, const Output& output);
ExitStatus RunDoctor(KeyboardSession& session, const Output& output);

} // namespace tavrik::cli
