#!/usr/bin/env bash
# What a VX60 owner does with the keyboard, run inside scripts/hidraw-rig.sh: every command goes
# through `--device hid`, that is hidapi's hidraw backend and libudev, to the rig's hidraw nodes;
# the results are checked where they land, in the emulated keyboard (`tavrik-emu ctl
# "$TAVRIK_RIG_SOCKET" dump|tap|typed`).
#
#   rig_cases.sh CASE      (info, remap, macro, restore, watch, events, doctor, doctor-denied,
#                           doctor-uaccess, separate)
set -uo pipefail

socket=${TAVRIK_RIG_SOCKET:?run inside scripts/hidraw-rig.sh}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 0700 "$XDG_RUNTIME_DIR"

readonly Q_POSITION=18 F1_POSITION=16

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

ctl() { tavrik-emu ctl "$socket" "$@"; }
hid() { tavrikctl --device hid "$@"; }

# Fails unless the text ($1) has a line matching the pattern ($2).
expect_line() {
    grep -qE -- "$2" <<<"$1" || fail "no line matching \"$2\" in:"$'\n'"$1"
}

# "page usage down|up" of each event the keyboard typed when the key at $1 was tapped.
typed_after_tap() {
    ctl typed >/dev/null
    ctl tap "$1" >/dev/null || fail "tap $1"
    ctl typed | awk '{ print $2, $3, $4 }'
}

# Starts `tavrikctl watch --count N` ($1) and repeats the command ($2...) until the watch has seen
# as many events, so that nothing depends on when the watch began listening. Prints its lines.
watch_while() {
    local count=$1
    shift
    hid watch --count "$count" >"$work/watch.out" 2>"$work/watch.err" &
    local watcher=$! tries=0
    while kill -0 "$watcher" 2>/dev/null; do
        tries=$((tries + 1))
        [ "$tries" -le 200 ] || { kill "$watcher"; fail "watch saw too little: $(cat "$work/watch.out")"; }
        "$@" >/dev/null 2>&1
        sleep 0.05
    done
    wait "$watcher" || fail "watch failed: $(cat "$work/watch.err")"
    cat "$work/watch.out"
}

case_info() {
    local out
    out=$(hid info) || fail "tavrikctl info: $out"
    echo "$out"
    expect_line "$out" "^keyboards attached: 1$"
}

case_remap() {
    hid remap Q key:W || fail "remap"
    local typed
    typed=$(typed_after_tap "$Q_POSITION")
    [ "$typed" = $'0007 001a down\n0007 001a up' ] || fail "Q typed: $typed"
}

case_macro() {
    printf 'H down 20\nH up 0\nI down 10\nI up 0\n' >"$work/hi.txt"
    hid macro add Greeting && hid macro actions Greeting "$work/hi.txt" &&
        hid remap F1 macro:Greeting || fail "macro download"
    local typed
    typed=$(typed_after_tap "$F1_POSITION")
    [ "$typed" = $'0007 000b down\n0007 000b up\n0007 000c down\n0007 000c up' ] ||
        fail "F1 played: $typed"
}

case_restore() {
    hid remap Q key:W && hid remap --profile 2 A media:mute || fail "remaps"
    hid backup "$work/saved.tvk" || fail "backup"
    local keymaps
    keymaps=$(ctl dump keymap0 && ctl dump keymap2)
    hid remap Q key:E && hid remap --profile 2 A key:B || fail "changes after the backup"
    hid restore "$work/saved.tvk" || fail "restore"
    [ "$(ctl dump keymap0 && ctl dump keymap2)" = "$keymaps" ] || fail "restored key maps differ"
    [ "$(typed_after_tap "$Q_POSITION")" = $'0007 001a down\n0007 001a up' ] ||
        fail "Q after the restore"
}

# Unplugs and plugs again, once per call: the watch sees the keyboard leave and come back.
replug() {
    ctl unplug && ctl plug
}

case_watch() {
    local out
    # Three events: the keyboard may come and go once while the watch starts, so they begin with
    # either; they must alternate.
    out=$(watch_while 3 replug)
    [ "$out" = $'detached\nattached\ndetached' ] || [ "$out" = $'attached\ndetached\nattached' ] ||
        fail "watch saw: $out"
    # The last plug may still be on its way to the system, as after a real one.
    local tries=0
    until hid info >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ "$tries" -le 200 ] || fail "the keyboard did not come back after the last plug"
        sleep 0.05
    done
}

case_events() {
    local out
    out=$(watch_while 1 ctl bank)
    expect_line "$out" "^bank [AB]$"
    out=$(watch_while 1 ctl lighting-changed)
    expect_line "$out" "^lighting changed"
}

case_doctor() {
    local out
    out=$(hid doctor) || fail "doctor: $out"
    echo "$out"
    expect_line "$out" "^hidraw nodes of 04B4:2009: 2$"
    expect_line "$out" "^  /dev/hidraw0, interface 0, report descriptor read$"
    expect_line "$out" "^    collection 0001:0006, reports without id not used$"
    expect_line "$out" "^  /dev/hidraw1, interface 1, report descriptor read$"
    expect_line "$out" "^    collection 000C:0001, report 3 -> CONS$"
    expect_line "$out" "^    collection FF1C:0092, report 4 -> CTRL$"
    expect_line "$out" "^    collection 0008:0089, report 5 -> LED$"
    [ "$(grep -c '^    opens$' <<<"$out")" -eq 2 ] || fail "not every node opens"
    expect_line "$out" "^keyboards attached: 1$"
    expect_line "$out" "^result: everything the program needs works$"
}

# The rig runs with --mode 0600 --owner root: a user without root is refused and told why.
case_doctor_denied() {
    local out status=0
    out=$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$work" tavrikctl --device hid doctor 2>&1) || status=$?
    echo "$out"
    [ "$status" -eq 1 ] || fail "doctor as nobody exited $status"
    expect_line "$out" "^    permission denied$"
    expect_line "$out" "^    owner root, group root, mode 0600, no uaccess tag$"
    expect_line "$out" "udev rule is not installed"
    expect_line "$out" "^keyboards attached: 0$"
}

# The rig runs with --uaccess: udev's database tags the nodes, which the doctor shows.
case_doctor_uaccess() {
    local out
    out=$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$work" tavrikctl --device hid doctor 2>&1)
    echo "$out"
    expect_line "$out" "^    owner root, group root, mode 0600, uaccess tag$"
}

# The rig runs with --shape separate: each unit on an interface of its own.
case_separate() {
    local out
    out=$(hid doctor) || fail "doctor: $out"
    expect_line "$out" "^  /dev/hidraw2, interface 2, report descriptor read$"
    expect_line "$out" "^    collection FF1C:0092, report 4 -> CTRL$"
    case_remap
    case_events
}

"case_${1//-/_}" || fail "case $1"
echo "passed: $1"
