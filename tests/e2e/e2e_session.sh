# The private session the end-to-end tests run the desktop program in, sourced by each of them:
# progress and failure reports, a private HOME, XDG folders and runtime folder removed at the end
# together with every process the test started, background programs, polling, an X server on a
# free display, and screenshots.
#
# The sourcing script calls parse_arguments first, then make_private_session.

source "$(dirname "${BASH_SOURCE[0]}")/../support/test_processes.sh"

readonly screen_width=1400 screen_height=900

shots=""
programs=()

# parse_arguments "USAGE" COUNT ARGUMENT...: COUNT programs (made absolute, in `programs`) and
# --screenshots DIR (in `shots`, the folder that keeps a picture of each stage); anything else
# prints "usage: SCRIPT USAGE" and ends with 2.
parse_arguments() {
    local usage_line=$1 count=$2
    shift 2
    local given=()
    while [ $# -gt 0 ]; do
        case "$1" in
        --screenshots)
            [ $# -ge 2 ] || given=(too many)
            shots=${2:-}
            shift 2
            ;;
        -h | --help) given=(too many) && break ;;
        *)
            given+=("$1")
            shift
            ;;
        esac
    done
    if [ ${#given[@]} -ne "$count" ] || [ $# -gt 0 ]; then
        echo "usage: $0 $usage_line" >&2
        exit 2
    fi
    local program
    for program in "${given[@]}"; do
        [ -x "$program" ] || fail "$program is not an executable"
        programs+=("$(realpath "$program")")
    done
}

current_step="start"
last_shot="(none taken)"

step() {
    current_step=$1
    echo "==> $current_step"
}

note() { echo "    $*"; }

show_log() {
    local title=$1 file=$2
    [ -e "$file" ] || return 0
    if [ -s "$file" ]; then
        echo "---- $title (last 40 lines) ----"
        tail -n 40 "$file"
    else
        echo "---- $title: empty ----"
    fi
}

# fail REASON: says where and why the test failed, with a last picture and every program's
# error output, and ends the test.
fail() {
    echo "FAILED at step: $current_step" >&2
    echo "  reason: $*" >&2
    if [ -n "$shots" ]; then
        shoot failure >/dev/null 2>&1
    fi
    echo "  last screenshot: $last_shot" >&2
    if [ -n "$work" ]; then
        local log
        for log in "$work"/*.err "$work/tavrik.out"; do
            show_log "$(basename "$log")" "$log" >&2
        done
    fi
    exit 1
}

# require_tools TOOL...: tools the test cannot run without; it is skipped when one is missing.
require_tools() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"
            exit 77
        fi
    done
}

# need_tools TOOL...: tools that come with the same setup; missing one is a broken machine.
need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (scripts/setup.sh installs it)"
    done
}

# make_private_session NAME: a private temporary folder with HOME, the XDG folders and a runtime
# folder of mode 0700, exported for every program the test starts.
make_private_session() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/tavrik-$1.XXXXXX") || fail "cannot make a temporary folder"
    mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/state" "$work/tmp"
    mkdir -m 0700 "$work/run"
    clean_up_at_exit
    export HOME="$work/home"
    export XDG_CONFIG_HOME="$work/config"
    export XDG_DATA_HOME="$work/data"
    export XDG_CACHE_HOME="$work/cache"
    export XDG_STATE_HOME="$work/state"
    export XDG_RUNTIME_DIR="$work/run"
    export TMPDIR="$work/tmp"
    export LC_ALL=C.UTF-8
    unset DBUS_SESSION_BUS_ADDRESS TAVRIK_DEVICE WAYLAND_DISPLAY DISPLAY XAUTHORITY
    unset SESSION_MANAGER DESKTOP_SESSION XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
}

# start NAME COMMAND...: runs COMMAND in the background with its output in NAME.out and NAME.err,
# remembers it for the clean-up and sets $last_pid.
last_pid=""
start() {
    local name=$1
    shift
    "$@" >"$work/$name.out" 2>"$work/$name.err" &
    last_pid=$!
    started+=("$last_pid")
}

# wait_for SECONDS WHAT COMMAND...: polls COMMAND; fails the step when it never succeeds. WHAT is
# evaluated after the wait, so it may name the last value seen.
wait_for() {
    local limit=$1 what=$2
    shift 2
    poll "$limit" "$@" || fail "gave up after ${limit} s waiting for $(eval "echo \"$what\"")"
}


# emu_ctl COMMAND...: `tavrik-emu ctl` on the keyboard the test serves ($emu on $sock).
emu_ctl() { "$emu" ctl "$sock" "$@"; }

# expect_clean_end PID WHAT: waits for the program WHAT names to end and checks it ended with 0.
expect_clean_end() {
    local pid=$1 what=$2 status
    ended() { ! alive "$pid"; }
    wait_for 30 "$what to end" ended
    wait "$pid"
    status=$?
    [ $status -eq 0 ] || fail "$what ended with status $status"
}

# start_x_server: Xvfb on a free display with a dark desktop; exports DISPLAY.
start_x_server() {
    # -displayfd: the server picks a free display number and writes it when it is ready.
    local display_fd xvfb_pid
    exec {display_fd}>"$work/display"
    start xvfb Xvfb -displayfd "$display_fd" -screen 0 "${screen_width}x${screen_height}x24" \
        -nolisten tcp -noreset
    xvfb_pid=$last_pid
    exec {display_fd}>&-
    display_written() { [ -s "$work/display" ] || ! alive "$xvfb_pid"; }
    wait_for 20 "Xvfb to choose a display" display_written
    alive "$xvfb_pid" || fail "Xvfb ended at start"
    export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
    wait_for 10 "the X server at $DISPLAY to answer" xwininfo -root
    note "X server on $DISPLAY"
    if [ -n "$shots" ] && command -v convert >/dev/null; then
        # A dark desktop behind the windows for the pictures (the server's weave is hard to
        # read). display sets the root window's background and ends (with status 1 even when
        # it worked).
        convert -size "${screen_width}x$screen_height" gradient:'#2a3142'-'#12151c' \
            "$work/desktop.png" &&
            timeout 10 display -window root "$work/desktop.png" >/dev/null 2>&1
    fi
}

# alive_window WINDOW: the X window is shown.
alive_window() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# shoot NAME [X Y W H]: the X screen, or the given part of it, into the screenshot folder.
shoot() {
    [ -n "$shots" ] || return 0
    local file="$shots/$1.png" crop=()
    mkdir -p "$shots" || return 1
    [ $# -lt 5 ] || crop=(-crop "$4x$5+$2+$3" +repage)
    import -window root "${crop[@]}" -strip -define png:compression-level=9 "$file" || return 1
    last_shot=$file
    note "screenshot: $file"
}
