#!/usr/bin/env bash
# Another local user cannot take the single instance of the desktop program away.
#
#   instance_other_user.sh TAVRIK
#
# As root, makes (when missing) the user "tavrikother", who lays a trap before the program's first
# start: the folder name the program would use under the temporary folder made open to all, that
# name as a link to a folder of its own, or an XDG_RUNTIME_DIR of its own. Then this user starts
# `tavrik --device demo` (offscreen) twice: the second start must hand over and end with 0 while
# the first runs on, and `tavrik /Kill` must end the first. After the first start the trap's name
# is given back, so a later start finds the free name first and must still reach the running
# instance where it moved.
#
# Each case runs in a private temporary folder (TMPDIR), home and settings, so the real /tmp names
# of real users are never touched; every process the test started is ended at the end.
# When the other user takes every name the program may use, the program must refuse to start.
#
# Exit status: 0 passed, 1 failed, 77 skipped (not root, or useradd or setpriv missing).
set -uo pipefail

readonly SKIP=77
readonly OTHER=tavrikother
# Generous bounds so that a broken hand-over fails the test instead of hanging it.
readonly START_LIMIT=60 END_LIMIT=60

usage() {
    echo "usage: $0 TAVRIK" >&2
    exit 2
}
[ $# -eq 1 ] || usage
tavrik=$(realpath "$1")

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: making a second user needs root"
    exit $SKIP
fi
for tool in useradd setpriv; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed"
        exit $SKIP
    fi
done

current_case="start"
case_dir=""
work=""

fail() {
    echo "FAILED in case: $current_case" >&2
    echo "  reason: $*" >&2
    if [ -n "$case_dir" ]; then
        local log
        for log in "$case_dir"/*.err; do
            [ -s "$log" ] || continue
            echo "---- $(basename "$log") (last 20 lines) ----" >&2
            tail -n 20 "$log" >&2
        done
        echo "---- the temporary folder ----" >&2
        ls -lA "$case_dir/tmp" >&2
    fi
    exit 1
}

[ -x "$tavrik" ] || fail "$tavrik is not an executable"
[ -r "$(dirname "$tavrik")/Skins/Main.ini" ] || fail "the skin beside $tavrik is missing (build tavrik_skin_art)"

# --- the other user ----------------------------------------------------------------------------

if ! id -u "$OTHER" >/dev/null 2>&1; then
    # Another run may make it at the same moment; only its absence afterwards is a failure.
    useradd --system --no-create-home --shell /usr/sbin/nologin "$OTHER" >/dev/null 2>&1
    id -u "$OTHER" >/dev/null 2>&1 || fail "cannot make the user $OTHER"
fi
other_uid=$(id -u "$OTHER")
other_gid=$(id -g "$OTHER")
me=$(id -u)

as_other() {
    setpriv --reuid="$other_uid" --regid="$other_gid" --clear-groups -- "$@"
}

# --- processes and their clean-up --------------------------------------------------------------

source "$(dirname "$0")/../support/test_processes.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrik-instance.XXXXXX") || fail "cannot make a temporary folder"
# The other user must reach the cases' temporary folders inside.
chmod 0755 "$work"
clean_up_at_exit

# launch NAME ARGUMENTS...: starts tavrik in the case's environment, its output in NAME.out and
# NAME.err; sets $last_pid.
last_pid=""
launch() {
    local name=$1
    shift
    (
        export HOME="$case_dir/home" TMPDIR="$case_dir/tmp"
        export XDG_CONFIG_HOME="$case_dir/config" XDG_DATA_HOME="$case_dir/data"
        export XDG_CACHE_HOME="$case_dir/cache" XDG_STATE_HOME="$case_dir/state"
        export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
        unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS TAVRIK_DEVICE XDG_RUNTIME_DIR
        [ -z "$runtime" ] || export XDG_RUNTIME_DIR="$runtime"
        exec "$tavrik" --device demo "$@"
    ) >"$case_dir/$name.out" 2>"$case_dir/$name.err" &
    last_pid=$!
    started+=("$last_pid")
}

# finish NAME PID: waits until the process has ended and checks that it ended with 0.
finish() {
    local name=$1 pid=$2 status
    poll $END_LIMIT eval "! alive $pid" || fail "$name still runs after ${END_LIMIT} s"
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "$name ended with $status instead of 0"
}

# private_to_me FOLDER: a real folder of this user's with mode 0700.
private_to_me() {
    [ -d "$1" ] && [ ! -L "$1" ] && [ "$(stat -c '%u %a' "$1")" = "$me 700" ]
}

# --- the cases ---------------------------------------------------------------------------------

# The current case's home, settings and temporary folder, open to all and sticky like /tmp.
make_case_folders() {
    case_dir="$work/$current_case"
    # The other user must reach the temporary folder inside, whatever the umask.
    if ! mkdir -m 0755 "$case_dir" || ! mkdir "$case_dir"/{home,config,data,cache,state} ||
        ! mkdir -m 1777 "$case_dir/tmp"; then
        fail "cannot make the case's folders"
    fi
}

# run_case NAME RUNTIME EXPECTED TRAP_FOLDER: the other user lays the trap with the function
# lay_trap (given the case's temporary folder); XDG_RUNTIME_DIR is RUNTIME (unset when empty).
# The first instance must listen in EXPECTED and nothing may appear in TRAP_FOLDER; the other
# user then runs give_back before the second start.
run_case() {
    current_case=$1
    runtime=$2
    local expected=$3 trap_folder=$4
    echo "==> $current_case"
    make_case_folders
    lay_trap "$case_dir/tmp" || fail "the other user could not lay the trap"

    launch first
    local first=$last_pid
    poll $START_LIMIT test -S "$expected/Tavrik_Mutex" ||
        fail "no socket in $expected after ${START_LIMIT} s"
    alive "$first" || fail "the first start ended"
    private_to_me "$expected" || fail "$expected is not a private folder of user $me"
    [ ! -e "$trap_folder/Tavrik_Mutex" ] || fail "the socket is in the other user's $trap_folder"

    give_back "$case_dir/tmp" || fail "the other user could not give the name back"

    launch second
    finish "the second start" "$last_pid"
    alive "$first" || fail "the first instance ended on the second start"
    [ "$(find "$case_dir/tmp" -name Tavrik_Mutex | wc -l)" -eq 1 ] ||
        fail "not exactly one single-instance socket: $(find "$case_dir/tmp" -name Tavrik_Mutex)"

    launch kill /Kill
    finish "tavrik /Kill" "$last_pid"
    finish "the first instance" "$first"
    local left
    left=$(our_processes)
    [ -z "$left" ] || fail "processes left after /Kill: $left"
    started=()
}

# 1. The usual name made first by the other user, open to all; given back after the first start.
lay_trap() { as_other mkdir -m 0777 "$1/Tavrik-$me"; }
give_back() { as_other rmdir "$1/Tavrik-$me"; }
run_case open-folder "" "$work/open-folder/tmp/Tavrik-$me-1" "$work/open-folder/tmp/Tavrik-$me"

# 2. The usual name a link to the other user's folder.
lay_trap() { as_other mkdir -m 0777 "$1/bait" && as_other ln -s "$1/bait" "$1/Tavrik-$me"; }
give_back() { as_other rm "$1/Tavrik-$me"; }
run_case link "" "$work/link/tmp/Tavrik-$me-1" "$work/link/tmp/bait"

# 3. XDG_RUNTIME_DIR names the other user's folder (which root could write to all the same).
lay_trap() { as_other mkdir -m 0700 "$1/other-run"; }
give_back() { true; }
run_case other-runtime "$work/other-runtime/tmp/other-run" "$work/other-runtime/tmp/Tavrik-$me" \
    "$work/other-runtime/tmp/other-run"

# 4. Every name taken: the program refuses to start rather than run where no later start finds it.
current_case=every-name
runtime=""
echo "==> $current_case"
make_case_folders
names=("$case_dir/tmp/Tavrik-$me")
for index in $(seq 1 15); do
    names+=("$case_dir/tmp/Tavrik-$me-$index")
done
as_other mkdir -m 0777 "${names[@]}" || fail "the other user could not take the names"
launch refused
refused=$last_pid
poll $END_LIMIT eval "! alive $refused" || fail "the start still runs after ${END_LIMIT} s"
wait "$refused"
status=$?
[ "$status" -eq 1 ] || fail "the start ended with $status instead of 1"
grep -q "^tavrik: no folder private to this user" "$case_dir/refused.err" ||
    fail "the start did not say why it ended"
[ -z "$(find "$case_dir/tmp" -name Tavrik_Mutex)" ] || fail "a socket was made in another user's folder"
started=()

echo "PASSED"
