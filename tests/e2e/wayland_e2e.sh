#!/usr/bin/env bash
# End-to-end test of the desktop program as a native Wayland client, under weston's headless
# back end (which draws into memory; its screenshooter reads the pictures back).
#
#   wayland_e2e.sh TAVRIK TAVRIK_EMU [--screenshots DIR]
#
# No notification area exists here (no X server for an XEmbed tray, no session bus for a
# StatusNotifier host), so the program opens its window as soon as the keyboard is attached. A
# second start hands over to the first; with the keyboard unplugged the window goes and a second
# start shows the message that no keyboard is attached (a dialog); /Kill ends the program. What
# is on the screen is told apart by comparing pictures of it with the empty desktop.
#
# Exit status: 0 passed, 1 failed, 77 skipped (weston or Qt's Wayland platform not installed).
set -uo pipefail

source "$(dirname "$0")/e2e_session.sh"

parse_arguments "TAVRIK TAVRIK_EMU [--screenshots DIR]" 2 "$@"
tavrik=${programs[0]} emu=${programs[1]}

require_tools weston weston-screenshooter
need_tools compare convert
if ! compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null; then
    echo "SKIPPED: Qt's Wayland platform is not installed (scripts/setup.sh installs qt6-wayland)"
    exit 77
fi

make_private_session wayland
export QT_QPA_PLATFORM=wayland
export WAYLAND_DISPLAY=wayland-tavrik-e2e
sock="$work/run/keyboard.sock"
# weston's own panel, with its clock, is left out of every comparison.
readonly weston_panel_height=32
readonly desktop_height=$((screen_height - weston_panel_height))


# --- pictures of the screen ------------------------------------------------------------------

# picture NAME: the screen below weston's panel, as $work/NAME.png.
picture() {
    local folder="$work/screenshooter"
    rm -rf "$folder" && mkdir -p "$folder" || return 1
    (cd "$folder" && weston-screenshooter) >/dev/null 2>&1 || return 1
    local taken
    taken=$(ls "$folder"/*.png 2>/dev/null | head -n 1)
    [ -n "$taken" ] || return 1
    convert "$taken" -crop "${screen_width}x${desktop_height}+0+$weston_panel_height" +repage \
        "$work/$1.png"
}

# changed_pixels NAME: how many pixels of picture NAME differ from the empty desktop.
changed_pixels() {
    # compare prints large counts in exponent notation.
    compare -metric AE "$work/empty.png" "$work/$1.png" null: 2>&1 | awk '{ printf "%d", $1 }'
}

# The main window covers at least 1000 x 500 pixels; a message box far less.
readonly window_pixels=500000 dialog_pixels=20000

# screen_shows WHAT: the screen now shows the main window, a dialog alone, or nothing.
screen_shows() {
    picture now || return 1
    last_changed=$(changed_pixels now)
    case "$1" in
    window) [ "$last_changed" -ge $window_pixels ] ;;
    dialog) [ "$last_changed" -ge $dialog_pixels ] && [ "$last_changed" -lt $window_pixels ] ;;
    nothing) [ "$last_changed" -lt $dialog_pixels ] ;;
    esac
}

# shoot NAME: the last picture taken into the screenshot folder (there is no X screen here).
shoot() {
    [ -n "$shots" ] && [ -e "$work/now.png" ] || return 0
    mkdir -p "$shots" && cp "$work/now.png" "$shots/$1.png" || return 1
    last_shot="$shots/$1.png"
    note "screenshot: $last_shot"
}

# --- 1. compositor and keyboard --------------------------------------------------------------

step "1. weston's headless back end as the compositor"
start weston weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --use-pixman \
    --width="$screen_width" --height="$screen_height" --idle-time=0 --debug
weston_pid=$last_pid
# The desktop is drawn once weston's shell has painted its patterned background and a second
# picture shows the same.
desktop_drawn() {
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && picture empty || return 1
    [ "$(convert "$work/empty.png" -format %k info:)" -gt 16 ] || return 1
    sleep 0.5
    picture now && [ "$(changed_pixels now)" -eq 0 ]
}
wait_for 30 "weston to draw its desktop" desktop_drawn
alive "$weston_pid" || fail "weston ended at start"

step "1b. tavrik-emu serves the keyboard on $sock"
start emu "$emu" serve "$sock"
wait_for 20 "the emulated keyboard to answer" emu_ctl dump settings

# --- 2. the program ----------------------------------------------------------------------------

step "2. tavrik --device emu:SOCK on Wayland opens its window: no notification area runs"
start tavrik "$tavrik" --device "emu:$sock"
tavrik_pid=$last_pid
wait_for 60 'the main window (${last_changed:-no} pixels changed)' screen_shows window
shoot wayland-main-window
grep -qi "could not\|failed to load" "$work/tavrik.err" &&
    fail "the Wayland platform did not start cleanly: $(head -n 3 "$work/tavrik.err")"

step "2b. a second start hands over to the first and exits 0"
timeout 60 "$tavrik" --device "emu:$sock" >"$work/second.log" 2>&1
second_status=$?
[ $second_status -eq 0 ] || fail "the second start ended with status $second_status: $(cat "$work/second.log")"
alive "$tavrik_pid" || fail "the first instance ended when the second started"

step "3. the keyboard unplugged: the window goes"
emu_ctl unplug >/dev/null || fail "tavrik-emu ctl unplug failed"
wait_for 30 'an empty desktop (${last_changed:-no} pixels changed)' screen_shows nothing

step "3b. a second start without a keyboard: a dialog says that no keyboard is attached"
timeout 60 "$tavrik" --device "emu:$sock" >"$work/third.log" 2>&1 ||
    fail "the start without a keyboard ended with $?: $(cat "$work/third.log")"
wait_for 30 'the message box (${last_changed:-no} pixels changed)' screen_shows dialog
shoot wayland-no-keyboard-message
emu_ctl plug >/dev/null || fail "tavrik-emu ctl plug failed"

step "4. tavrik /Kill ends the program with exit code 0"
timeout 60 "$tavrik" /Kill >"$work/kill.log" 2>&1 || fail "tavrik /Kill ended with $?: $(cat "$work/kill.log")"
expect_clean_end "$tavrik_pid" "the program"

step "passed"
