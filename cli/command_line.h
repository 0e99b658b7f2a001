#pragma once
// tavrikctl's command line: global options (--device, --json, --no-verify, --wait, --help,
// --version) anywhere, then a command with its arguments and options. Parsing checks everything
// that can be checked without the keyboard (names, numbers, ranges) and gives a usage error for the
// rest of the world to see; what only the keyboard's contents can answer (does this macro exist?)
// is checked when the command runs.

#include "assign/key_function_entry.h"
#include "device/keyboard_turn.h"
#include "keys/key_table.h"
#include "lighting/lighting_params.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tavrik::cli {

// KEY of remap: a key of the key table, a macro key G1..G9, or a key position of the keyboard
// (resolved through the keyboard's default layout when the command runs).
struct KeyArgument {
    enum class Kind { Key, MacroKey, Position };
    Kind kind = Kind::Key;
    ScanCode scan = 0;        // Key
    size_t gIndex = 0;        // MacroKey: 0..8 for G1..G9
    KeyPosition position = 0; // Position
    bool operator==(const KeyArgument&) const = default;
};

// FUNCTION of remap.
struct FunctionArgument {
    KeyFunctionType type = KeyFunctionType::Default;
    ScanCode key = 0;             // SingleKey
    std::string macro;            // PlayMacro: a macro's id or name
    std::optional<uint8_t> loops; // PlayMacro: the loop count to play it with (1..255)
    uint32_t row = 0;             // Multimedia row or FunctionKey slot
    bool operator==(const FunctionArgument&) const = default;
};

struct HelpRequest {
    std::string topic; // a command, or empty for the overview
    bool operator==(const HelpRequest&) const = default;
};
struct VersionRequest {
    bool operator==(const VersionRequest&) const = default;
};
struct InfoRequest {
    bool operator==(const InfoRequest&) const = default;
};
struct DoctorRequest {
    bool operator==(const DoctorRequest&) const = default;
};
struct ProfileRequest {
    std::optional<int> select; // nothing: show the active hardware profile
    bool operator==(const ProfileRequest&) const = default;
};

enum class FileVerb { Backup, Restore, Validate, Dump };
struct FileRequest {
    FileVerb verb = FileVerb::Validate;
    std::string path; // empty for dump --keyboard
    bool operator==(const FileRequest&) const = default;
};

// export --text FILE, import FILE, diff A B and diff --keyboard B.
enum class TextVerb { Export, Import, Diff };
struct ProfileTextRequest {
    TextVerb verb = TextVerb::Export;
    std::string path;                  // the file written or read; diff: the second side
    std::optional<std::string> before; // diff: the first side; nothing for the keyboard
    bool operator==(const ProfileTextRequest&) const = default;
};

struct RemapRequest {
    std::optional<int> profile; // nothing: the active hardware profile
    bool bankB = false;
    KeyArgument key;
    FunctionArgument function;
    bool operator==(const RemapRequest&) const = default;
};

enum class MacroVerb { List, Show, Add, Remove, Rename, Loop, Actions };
struct MacroRequest {
    MacroVerb verb = MacroVerb::List;
    std::string macro;    // the macro's id or name (a new name for add)
    std::string argument; // rename: the new name; actions: the file, "-" for standard input
    int loops = 0;        // loop: 1..255
    bool force = false;   // rm: also when keys play the macro
    bool operator==(const MacroRequest&) const = default;
};

enum class LightingVerb { Show, Effect, Brightness, Speed, Direction, Option, Key, All, Reset };
struct LightingRequest {
    LightingVerb verb = LightingVerb::Show;
    int value = 0; // effect, brightness, speed (slider: 0 slowest .. 25 fastest), direction 0/1,
                   // option choice 0/1, key position
    LightingOption option = LightingOption::TriggerMode;
    bool on = false; // key, all
    bool operator==(const LightingRequest&) const = default;
};

struct WatchRequest {
    std::optional<int> count; // stop after this many events
    bool operator==(const WatchRequest&) const = default;
};

enum class NameList { All, Keys, Media, Functions, Effects };
struct NamesRequest {
    NameList list = NameList::All;
    bool plain = false; // every accepted name, one a line (for shell completion)
    bool operator==(const NamesRequest&) const = default;
};

using Request = std::variant<HelpRequest, VersionRequest, InfoRequest, ProfileRequest, FileRequest,
                             ProfileTextRequest, RemapRequest, MacroRequest, LightingRequest,
                             WatchRequest, NamesRequest, DoctorRequest>;

struct CommandLine {
    std::optional<std::string> device; // the value of --device, when given
    bool json = false;
    bool verifyWrites = true;     // --no-verify: written bytes are not read back
    bool writeEveryFrame = false; // --full-write: frames the keyboard holds already are sent too
    // --wait SECONDS: how long to wait while another program has its turn on the keyboard
    std::chrono::seconds turnWait = kDefaultTurnWait;
    Request request = HelpRequest{};
};

struct UsageError {
    std::string message;
    std::string command; // the command whose usage to show; empty for the overview
};

// The arguments after the program's name.
std::variant<CommandLine, UsageError> ParseCommandLine(std::span<const std::string_view> args);

// Whether the command talks to the keyboard at all (help, version, names, validate, dumping a
// file and comparing two files do not).
bool NeedsKeyboard(const Request& request);

} // namespace tavrik::cli
