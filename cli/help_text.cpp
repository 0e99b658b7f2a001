#include "cli/help_text.h"

#include <array>

namespace tavrik::cli {

namespace {

struct CommandHelp {
    std::string_view name;
    std::string_view usage; // one or more "tavrikctl ..." lines
    std::string_view details;
};

constexpr std::string_view kOverview =
    R"(tavrikctl: the VOLTRI VX60 keyboard's configuration from the command line

Usage: tavrikctl [--device hid|demo|emu:PATH] [--json] COMMAND [ARGUMENTS]

Commands:
  info                        what is attached: profile, macro memory, lighting
  profile [N]                 show or switch the active hardware profile (0..2)
  backup FILE.tvk             read the keyboard into a profile file
  restore FILE.tvk            load a profile file into all three hardware profiles
  validate FILE.tvk           check a profile file
  dump FILE.tvk|--keyboard    every assigned key and every macro of a file or the keyboard
  export --text FILE          write the keyboard's configuration as text
  import FILE                 load a text or a profile file into all three hardware profiles
  diff A B | diff --keyboard B
                              what differs between two profiles (exit status 1 if anything)
  remap [--profile N] KEY FUNCTION
                              give a key a new function
  macro list|show|add|rm|rename|loop|actions ...
                              list, export, create and edit macros
  lighting show|effect|brightness|speed|direction|option|key|all|reset ...
                              show and change the lighting
  watch [--count N]           print the keyboard's events as they happen
  names [keys|media|fn|effects]
                              the names KEY, FUNCTION and effects accept
  doctor                      why the keyboard does or does not work here (reads only)
  help [COMMAND]              this text, or a command's

Options:
  --device hid|demo|emu:PATH  which keyboard: hid (the default) is a real keyboard; demo is an
                              emulated keyboard inside tavrikctl, fresh at every run, so nothing
                              persists between two commands; emu:PATH is the emulated keyboard
                              served by "tavrik-emu serve PATH" - use it for scripts of several
                              steps. TAVRIK_DEVICE sets the same; the option wins.
  --json                      read commands print one JSON document on standard output
  --no-verify                 do not read back what a command wrote to compare it with what
                              was sent (faster; a keyboard storing other bytes goes unnoticed)
  --full-write                write every frame of the key maps, macro memory and colours a
                              command changes, not only the frames whose bytes differ from what
                              the keyboard was read or written to hold
  --wait SECONDS              while another program (the desktop program, another tavrikctl)
                              is using the keyboard, wait this long for it before giving up
                              (default 30; 0 does not wait)
  --help, -h                  help (tavrikctl COMMAND --help for a command)
  --version                   the program's version

Exit status: 0 done, 1 keyboard or device error (also: the keyboard holds no such macro or
offers no such effect; for diff: the profiles differ), 2 usage error, 3 bad file.

The live configuration is mirrored in "$Profile0" in the folder "VOLTRI VX60 Driver" of the
user's Documents folder, as the desktop program does. See tavrikctl(1).
)";

constexpr std::array<CommandHelp, 16> kCommands{{
    {"info", "tavrikctl [--json] info",
     R"(Prints the number of attached keyboards, the active hardware profile, the macro memory
(capacity and what the macros use, with and without their names), the lighting effects the
keyboard offers with their names, and the current lighting (effect, brightness, speed as the
panel's slider 0 slowest .. 25 fastest, direction, the four options).
Exit status 1 when no keyboard is attached.)"},
    {"profile", "tavrikctl [--json] profile\ntavrikctl profile N",
     R"(Without N, prints the active hardware profile (0, 1 or 2). With N, makes hardware profile
N active; the keyboard then plays that profile's key map.)"},
    {"backup", "tavrikctl backup FILE.tvk",
     R"(Reads the keyboard's three key maps and its macros into a profile file. The file is
written atomically: a failed backup never leaves a damaged file in place of a good one.)"},
    {"restore", "tavrikctl restore FILE.tvk",
     R"(Checks the profile file, makes it the live configuration, saves it into the store file and
downloads it into all three hardware profiles, as the desktop program's "还原" does. A file that
is not a valid profile file changes nothing (exit status 3). When a download fails part-way,
every part that failed is named, with the keyboard's answer.)"},
    {"validate", "tavrikctl [--json] validate FILE.tvk",
     R"(Checks a profile file's header as an import does. Exit status 3 when the file cannot be
used; a malformed header is also reported with the program's own message
"文件格式错误，恢复为默认值: ".)"},
    {"dump", "tavrikctl [--json] dump FILE.tvk\ntavrikctl [--json] dump --keyboard",
     R"(Prints a profile file's header, every key of every layer that does not have its default
function (with the description the main window shows for it, and the text of program and text
entries), and every macro with its actions in the action format of "macro show". --keyboard
dumps what the keyboard holds.)"},
    {"export", "tavrikctl export --text FILE",
     R"(Writes the keyboard's whole configuration as text: one line a key that does not have its
default function, the macros with their actions in the action format of "macro show", and the
lighting (effect, brightness, speed, direction, options, and the colour of every key that is not
lit). The file is written atomically. The format is described in tavrikctl(1); the same text
comes back from a keyboard that imported it, byte for byte.)"},
    {"import", "tavrikctl import FILE",
     R"(Loads FILE, a profile as text or a profile file (told apart by their first bytes), into
all three hardware profiles as restore does, and a text's lighting into the lighting. The whole
file is checked first: a fault is named with its line and what was expected there
(FILE:LINE: ...), exit status 3, and nothing is written to the keyboard.)"},
    {"diff", "tavrikctl [--json] diff A B\ntavrikctl [--json] diff --keyboard B",
     R"(Lists what differs between two profiles, each a profile file or a profile as text, or the
keyboard (--keyboard, as A): one line a key by its layer and name, with its function on each
side ("layer 0 "Q": key "W" -> key "E""), a macro's line or action ("macro 3 action 2: Q down 10
-> Q up 10"), a macro only one side has (- or +), a lighting line ("lighting brightness: 20 ->
21"); a profile file has no lighting. Prints nothing when they are
equal. Exit status 0 when equal, 1 when they differ, 3 when a file cannot be used.)"},
    {"remap", "tavrikctl remap [--profile N] [--bank a|b] KEY FUNCTION",
     R"(Gives KEY a new FUNCTION in hardware profile N (default: the active one), exactly as the key
assignment dialog's OK does, saves the store file and downloads the profile.

KEY:       a key's name: the key table's ("Q", "F1", "Num 7", "退格"), its English name
           ("Backspace", "Left Shift"), the caption on its button ("PgUp", "PrtSc", "Del"), its
           X or Linux name ("Prior", "KP_7", "KEY_PAGEUP"), in any case and with _, - and space
           alike (tavrikctl names keys lists them all); G1..G9 (the macro keys; bank A unless
           --bank b), scan:0x010 (a scan code) or pos:18 (a key position of the keyboard).
           A name several keys share ("Super", "Control", "*") is refused with the keys it could
           mean; an unknown one with the closest names.
FUNCTION:  default             the key's own function
           key:NAME            another key (modifiers too: key:Ctrl)
           macro:NAME|ID[:LOOPS]
                               play a macro, LOOPS times (1..255; default: the macro's own loop
                               count, which LOOPS also sets)
           media:NAME|ROW      a multimedia function ("Volume Up", "音量加",
                               "XF86AudioRaiseVolume"; tavrikctl names media)
           fn:NAME|SLOT        a keyboard function, slots 0..10 ("Zoom In", "放大";
                               tavrikctl names fn)
The macro keys' functions are kept on the computer: the keyboard's key map has no place for
them.)"},
    {"macro",
     "tavrikctl [--json] macro list\ntavrikctl [--json] macro show NAME|ID\n"
     "tavrikctl macro add NAME\ntavrikctl macro rm [--force] NAME|ID\n"
     "tavrikctl macro rename NAME|ID NEWNAME\ntavrikctl macro loop NAME|ID N\n"
     "tavrikctl macro actions NAME|ID FILE|-",
     R"(list     every macro: id, name, loop count, number of actions
show     a macro's actions in the action format below
add      a new macro without actions (at most 100 macros; names must be unique)
rm       deletes a macro; one that keys play needs --force, and those keys get their default
         function back
rename   gives a macro a new name
loop     sets how often the keyboard plays it (1..255)
actions  replaces its actions with those of FILE (- reads standard input)
Every change is downloaded at once, as the main window's Apply does.

Action format, one action a line:
    KEY down|up PAUSE_MS
KEY is a key name as for remap (names may contain spaces), PAUSE_MS the pause after the step,
0..40000 ms. The keyboard keeps pauses in steps of 10 ms: a pause that is no multiple of 10 is
rounded down, and each one that was is named (FILE:LINE: the pause of 15 ms is kept as 10 ms). '#' starts a comment; blank lines are
ignored; at most 2000 actions. "macro show" prints this format, so a macro can be exported,
edited and imported again:
    tavrikctl macro show Greeting > greeting.txt
    tavrikctl macro actions Greeting greeting.txt)"},
    {"lighting",
     "tavrikctl [--json] lighting show\ntavrikctl lighting effect N|NAME\n"
     "tavrikctl lighting brightness B\ntavrikctl lighting speed S\n"
     "tavrikctl lighting direction left|right\ntavrikctl lighting option BYTE VALUE\n"
     "tavrikctl lighting key POS on|off\ntavrikctl lighting all on|off\n"
     "tavrikctl lighting reset",
     R"(show        the lighting state
effect      selects an effect by number 1..10 or name ("static", "静态常亮"; tavrikctl
            names effects); only effects the keyboard offers, see info
brightness  0..25
speed       as the panel's slider: 0 slowest .. 25 fastest
direction   effect 1's direction
option      a two-way option, by its byte or name, VALUE 0 (first choice) or 1 (second):
              5 trigger-mode    effect 2: 0 triggered, 1 continuous
              7 trigger-area    effect 5: 0 single key, 1 grid
              8 press-reaction  effect 5: 0 stay lit, 1 flash
              9 breathing       effect 4: 0 all keys, 1 alternating
key         lights (on) or darkens (off) one key in the per-key effect 6; POS is a key position
            0..159 or a key's name
all         every key lit or dark
reset       effect 9, brightness 20, speed 20 (on the slider's scale that show prints; the
            keyboard stores 5), direction left, first choices, all keys lit
Each change is sent at once and the new state printed.)"},
    {"watch", "tavrikctl [--json] watch [--count N]",
     R"(Prints one line per keyboard event: attached, detached, bank A|B (the G-key bank),
lighting changed (with the new state), macro started, macro stopped. Runs until SIGINT or
SIGTERM, or until N events were printed. With --json each line is a JSON object.)"},
    {"names", "tavrikctl [--json] names [keys|media|fn|effects]\ntavrikctl names --plain [LIST]",
     R"(The names KEY, FUNCTION and lighting effect accept: every key once, with its English name,
scan code, key position and all its other names (the key table's, the button's caption, X and
Linux names); the multimedia functions (media:); the keyboard functions (fn:); the lighting
effects with their English names and the skin's names.
--plain prints every accepted name alone, one a line, as shell completion reads them.)"},
    {"doctor", "tavrikctl [--json] doctor",
     R"(Everything between the program and the keyboard, in the order a person would check it:
with --device hid, the hidapi and libudev versions, the user, whether the udev rule is
installed, then every hidraw node of 04B4:2009 with its interface, its collections and report
ids from the report descriptor and the unit (LED, CONS, CTRL) each is routed to, and whether
it opens; a node that may not be opened is explained (owner, group, mode, the uaccess tag) with
the one thing to do. Then, when a keyboard is attached, a self-test of reads only (settings,
default layout, the three key maps, the macro header, lighting), each with its result and time.
Nothing is written to the keyboard. --json gives the same as one document for bug reports.
Exit status 0 when everything the program needs works, 1 otherwise.)"},
    {"help", "tavrikctl help [COMMAND]", "The overview, or a command's help."},
}};

const CommandHelp* FindHelp(std::string_view name) {
    for (const CommandHelp& help : kCommands) {
        if (help.name == name)
            return &help;
    }
    return nullptr;
}

} // namespace

std::optional<std::string> HelpText(std::string_view topic) {
    if (topic.empty())
        return std::string(kOverview);
    const CommandHelp* help = FindHelp(topic);
    if (help == nullptr)
        return std::nullopt;
    return "Usage: " + std::string(help->usage) + "\n\n" + std::string(help->details) + "\n";
}

std::string UsageText(std::string_view command) {
    const CommandHelp* help = FindHelp(command);
    if (help == nullptr)
        return "Usage: tavrikctl [--device hid|demo|emu:PATH] [--json] COMMAND [ARGUMENTS]\n"
               "tavrikctl --help lists the commands.\n";
    return "Usage: " + std::string(help->usage) + "\ntavrikctl " + std::string(help->name) +
           " --help says more.\n";
}

} // namespace tavrik::cli
