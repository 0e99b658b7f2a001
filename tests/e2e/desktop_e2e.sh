#!/usr/bin/env bash
# End-to-end test of the running desktop program, driven as a user drives it.
#
#   desktop_e2e.sh TAVRIK TAVRIK_EMU TAVRIKCTL [--screenshots DIR]
#
# Runs the built `tavrik` under Xvfb with trayer as the tray host and `tavrik-emu serve` as the
# keyboard, clicks with real X input (xdotool goes through XTest, so the program sees what a
# user's mouse and keyboard send) at control positions read from the skin beside the program
# (Skins/Main.ini), and checks the results where they matter: in the emulated keyboard's memory
# (`tavrik-emu ctl ... dump`) and in what it types (`tap`, `typed`), never in the program's logs.
#
# Everything runs in a private environment (HOME, XDG folders, runtime folder, display) that is
# removed at the end together with every process the test started.
#
# --screenshots DIR keeps a picture of each stage there (docs/screenshots/ for the documents).
# Exit status: 0 passed, 1 failed, 77 skipped (Xvfb, trayer or xdotool not installed).
set -uo pipefail

source "$(dirname "$0")/e2e_session.sh"

parse_arguments "TAVRIK TAVRIK_EMU TAVRIKCTL [--screenshots DIR]" 3 "$@"
tavrik=${programs[0]} emu=${programs[1]} ctl=${programs[2]}
skin="$(dirname "$tavrik")/Skins/Main.ini"

# The tools the test cannot do without: without them it cannot run at all, so it is skipped.
require_tools Xvfb trayer xdotool
need_tools xwininfo xprop import awk
[ -r "$skin" ] || fail "the main window's skin $skin is missing (build tavrik_skin_art)"

make_private_session e2e
# The X11 platform with the XEmbed tray: no session bus, so Qt docks its icon in trayer.
export QT_QPA_PLATFORM=xcb

# shoot_window NAME WINDOW: the window with a margin of desktop around it.
shoot_window() {
    local x y w h margin=24
    read -r x y w h < <(window_geometry "$2")
    [ -n "${h:-}" ] || {
        shoot "$1"
        return
    }
    local left=$((x > margin ? x - margin : 0)) top=$((y > margin ? y - margin : 0))
    shoot "$1" $left $top $((w + 2 * margin)) $((h + 2 * margin))
}

# shoot_corner NAME WINDOW: the corner of the screen from a little left of and above the window.
shoot_corner() {
    local x y w h
    read -r x y w h < <(window_geometry "$2")
    [ -n "${h:-}" ] || {
        shoot "$1"
        return
    }
    local left=$((x > 360 ? x - 360 : 0)) top=$((y > 120 ? y - 120 : 0))
    shoot "$1" $left $top $((screen_width - left)) $((screen_height - top))
}

# --- the X window tree -------------------------------------------------------------------------

# window_geometry WINDOW: "X Y WIDTH HEIGHT" in root coordinates.
window_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF }
        /^ *Height:/ { h = $NF }
        END { if (h != "") print x, y, w, h }'
}

window_class() { xprop -id "$1" WM_CLASS 2>/dev/null; }

parent_of() {
    xwininfo -tree -id "$1" 2>/dev/null | awk '/Parent window id:/ { print $4; exit }'
}

root_window() { xwininfo -root 2>/dev/null | awk '/Window id:/ { print $4; exit }'; }

# Succeeds when a window of the desktop program sits inside one of trayer's windows: the icon
# is docked in the notification area (XEmbed reparents it into the tray).
tray_icon_docked() {
    local root window ancestor hops
    root=$(root_window)
    for window in $(xdotool search --classname '^tavrik$' 2>/dev/null); do
        ancestor=$(parent_of "$window")
        hops=0
        while [ -n "$ancestor" ] && [ "$ancestor" != "$root" ] && [ $hops -lt 16 ]; do
            if window_class "$ancestor" | grep -qi trayer; then
                tray_icon_window=$window
                return 0
            fi
            ancestor=$(parent_of "$ancestor")
            hops=$((hops + 1))
        done
    done
    return 1
}

# trayer's panel: WM_CLASS ("panel", "trayer").
trayer_shown() { xdotool search --onlyvisible --class '^trayer$' >/dev/null 2>&1; }

readonly main_window_title="游戏键盘设定"

# The visible main windows of the desktop program (frameless: no window manager frame either).
visible_main_windows() {
    xdotool search --onlyvisible --name "^${main_window_title}\$" 2>/dev/null
}

main_window_shown() {
    main_window=$(visible_main_windows | head -n 1)
    [ -n "$main_window" ]
}

# Top-level windows of the desktop program that are shown, other than the main window and the
# tray icon: the message boxes it asks with. Tooltips and menus (override-redirect) are not.
other_visible_windows() {
    local window root
    root=$(root_window)
    for window in $(xdotool search --onlyvisible --classname '^tavrik$' 2>/dev/null); do
        [ "$window" != "$main_window" ] || continue
        [ "$window" != "${tray_icon_window:-}" ] || continue
        [ "$(parent_of "$window")" = "$root" ] || continue
        xwininfo -id "$window" 2>/dev/null | grep -q 'Override Redirect State: no' || continue
        echo "$window"
    done
}

message_box_shown() {
    message_box=$(other_visible_windows | head -n 1)
    [ -n "$message_box" ]
}

message_box_gone() { ! alive_window "$message_box"; }


# --- the skin ------------------------------------------------------------------------------------

# skin_value SECTION KEY [SKIN]: the value of KEY in SECTION of the main window's skin (or of
# SKIN). Skin files may be UTF-16 with a byte-order mark or UTF-8.
skin_value() {
    local wanted=$1 key=$2 file=${3:-$skin} text
    if head -c 2 "$file" | od -An -tx1 | grep -Eq 'ff fe|fe ff'; then
        text=$(iconv -f UTF-16 -t UTF-8 "$file")
    else
        text=$(cat "$file")
    fi
    printf '%s\n' "$text" | sed '1s/^\xEF\xBB\xBF//; s/\r$//' |
        awk -v wanted="$wanted" -v key="$key" '
        /^[ \t]*\[/ {
            section = $0
            gsub(/[][ \t]/, "", section)
            next
        }
        toupper(section) == toupper(wanted) {
            eq = index($0, "=")
            if (eq == 0) next
            name = substr($0, 1, eq - 1)
            gsub(/[ \t]/, "", name)
            if (toupper(name) != toupper(key)) next
            print substr($0, eq + 1)
            exit
        }'
}

# skin_rect KEY [SKIN]: "x y w h" of KEY in section BUTTONINFO of the main window's skin (or of
# SKIN), relative to the window's top-left corner.
skin_rect() {
    skin_value BUTTONINFO "$1" "${2:-$skin}" |
        awk -F, 'NF >= 4 { print $1 + 0, $2 + 0, $3 + 0, $4 + 0 }'
}

# click_control KEY [WINDOW SKIN]: a left click with real X input at the centre of the control of
# the main window (or of WINDOW, placed by SKIN).
click_control() {
    local key=$1 window=${2:-$main_window} file=${3:-$skin} x y w h wx wy ww wh
    read -r x y w h < <(skin_rect "$key" "$file")
    [ -n "${h:-}" ] || fail "the skin has no rectangle for $key in [BUTTONINFO] of $file"
    read -r wx wy ww wh < <(window_geometry "$window")
    [ -n "${wh:-}" ] || fail "the window $window is gone"
    alive_window "$window" || fail "the window $window is not shown when clicking $key"
    local cx=$((wx + x + w / 2)) cy=$((wy + y + h / 2))
    note "click $key at ($cx, $cy): skin rectangle $x,$y,${w}x$h in the window at $wx,$wy"
    # Move first so the button sees the pointer enter, as a user's pointer does, then click.
    xdotool mousemove --sync "$cx" "$cy" || fail "xdotool mousemove failed"
    xdotool click 1 || fail "xdotool click failed"
}

# --- the emulated keyboard ---------------------------------------------------------------------

sock="$work/run/keyboard.sock"

# dump_byte AREA N: byte N of an area of the keyboard's memory (the dump has 16 bytes a line
# after a 4-digit hex offset and a colon: "0000: 00 00 ...").
dump_byte() {
    local dump offset bytes
    dump=$(emu_ctl dump "$1") || return 1
    while read -r offset bytes; do
        offset=${offset%:}
        [[ $offset =~ ^[0-9a-fA-F]{4}$ ]] || continue
        local -a line=($bytes)
        local index=$(($2 - 16#$offset))
        if [ $index -ge 0 ] && [ $index -lt ${#line[@]} ]; then
            echo "${line[$index]}"
            return 0
        fi
    done <<<"$dump"
    return 1
}

settings_byte() { dump_byte settings "$1"; }

active_profile_is() {
    local byte
    byte=$(settings_byte 10) || return 1
    last_active_profile=$byte
    [ "$byte" = "$(printf '%02x' "$1")" ]
}

readonly key_a_position=19
readonly key_q_position=18
readonly key_f1_position=16

# The events one tap of the key at POSITION types, one "PAGE USAGE down|up" a line.
typed_by_tap() {
    emu_ctl typed >/dev/null || return 1
    emu_ctl tap "$1" >/dev/null || return 1
    emu_ctl typed | awk '{ print $2, $3, $4 }'
}

# Succeeds when a tap of the key at POSITION types exactly a down and an up of keyboard USAGE
# (4 hex digits).
key_types() {
    local position=$1 usage=$2
    last_typed=$(typed_by_tap "$position") || return 1
    last_typed_flat=$(echo $last_typed)
    [ "$last_typed" = "$(printf '0007 %s down\n0007 %s up' "$usage" "$usage")" ]
}

key_a_types() { key_types $key_a_position "$1"; }

# --- 1. X server, tray host, keyboard ------------------------------------------------------

step "1. private environment in $work"
note "HOME=$HOME XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR (mode $(stat -c %a "$XDG_RUNTIME_DIR"))"

step "2. Xvfb on a free display, trayer as the tray host"
start_x_server
start trayer trayer --edge bottom --align right --widthtype percent --width 100 \
    --height 32 --transparent true --alpha 0 --tint 0x262a33 --SetDockType true --padding 8
trayer_pid=$last_pid
wait_for 20 "trayer's panel to show" trayer_shown
alive "$trayer_pid" || fail "trayer ended at start"

step "2b. tavrik-emu serves the keyboard on $sock"
start emu "$emu" serve "$sock"
emu_pid=$last_pid
wait_for 20 "the emulated keyboard to answer" emu_ctl dump settings
note "settings: $(emu_ctl dump settings | head -n 1)"

step "2c. a remapped key: tavrikctl remaps A to B in hardware profile 0"
"$ctl" --device "emu:$sock" remap --profile 0 A key:B >"$work/ctl.log" 2>&1 ||
    fail "tavrikctl remap failed: $(cat "$work/ctl.log")"
key_a_types 0005 || fail "after the remap A types \"$last_typed_flat\", not B (usage 0005)"
note "A now types B: $last_typed_flat"

# --- 3. the desktop program: tray, single instance, main window -----------------------------

step "3. tavrik --device emu:SOCK starts and docks its icon in trayer"
start tavrik "$tavrik" --device "emu:$sock"
tavrik_pid=$last_pid
tray_ready() { alive "$tavrik_pid" && tray_icon_docked; }
wait_for 60 "the tray icon to be docked in trayer" tray_ready
note "tray icon window $tray_icon_window is docked in trayer"
shoot_corner tray-docked "$tray_icon_window"

step "3b. a second start hands over to the first and exits 0"
main_window=""
visible_main_windows | grep -q . && fail "the main window was shown before the second start"
timeout 60 "$tavrik" --device "emu:$sock" >"$work/second.log" 2>&1
second_status=$?
[ $second_status -eq 0 ] || fail "the second start ended with status $second_status: $(cat "$work/second.log")"
alive "$tavrik_pid" || fail "the first instance ended when the second started"

step "3c. the first instance shows its main window"
wait_for 30 "the main window $main_window_title to be shown" main_window_shown
count=$(visible_main_windows | wc -l)
[ "$count" -eq 1 ] || fail "$count main windows are shown; the second start must not open its own"
read -r wx wy ww wh < <(window_geometry "$main_window")
note "main window $main_window at $wx,$wy size ${ww}x$wh, class: $(window_class "$main_window")"
shoot_window main-window-running "$main_window"

# --- 4. the editor on the keyboard -----------------------------------------------------------

step "4. a click on FUNC_PROFILE2 makes the second hardware profile (index 1) active"
click_control FUNC_PROFILE2
wait_for 30 'settings byte 10 to become 01 (it is ${last_active_profile:-?})' active_profile_is 1
note "active hardware profile byte: $last_active_profile"
shoot_window profile2-active "$main_window"

step "4b. a click on FUNC_PROFILE1 makes the first hardware profile (index 0) active again"
click_control FUNC_PROFILE1
wait_for 30 'settings byte 10 to become 00 (it is ${last_active_profile:-?})' active_profile_is 0
# The remap of profile 0 is still there: nothing has reset it yet.
key_a_types 0005 || fail "before Default, A types \"$last_typed_flat\", not B (usage 0005)"

step "4c. Default asks \"是否要恢复默认设置？\"; Yes"
click_control FUNC_DEFAULT
wait_for 30 "the question after Default" message_box_shown
note "question window $message_box: \"$(xdotool getwindowname "$message_box")\""
shoot_window default-question "$main_window"
# The box takes the keyboard focus when it opens (no window manager gives it otherwise);
# Alt+Y is the Yes button's mnemonic, Y alone answers a message box as well.
timeout 5 xdotool windowfocus --sync "$message_box" >/dev/null 2>&1
xdotool key --clearmodifiers alt+y
if ! poll 5 message_box_gone; then
    note "Alt+Y did not close the question; pressing Y"
    timeout 5 xdotool windowfocus --sync "$message_box" >/dev/null 2>&1
    xdotool key --clearmodifiers y
fi
wait_for 15 "the question to close after Yes" message_box_gone

step "4d. Apply; A types its own key again"
click_control CONTROL2_APPLY
wait_for 30 'A to type A (usage 0004) again; it types: ${last_typed_flat:-}' key_a_types 0004
note "A types A again: $last_typed_flat"
shoot_window after-default-apply "$main_window"

# --- 5. the key assignment dialog ---------------------------------------------------------------

readonly assignment_title="按键设置"
composite_skin="$(dirname "$tavrik")/Skins/Composite.ini"

assignment_shown() {
    assignment=$(xdotool search --onlyvisible --name "^${assignment_title}\$" 2>/dev/null | head -n 1)
    [ -n "$assignment" ]
}

assignment_gone() { ! alive_window "$assignment"; }

step "5. a click on Q opens the key assignment dialog to the right of Q and below it"
key_types $key_q_position 0014 || fail "before the dialog Q types \"$last_typed_flat\", not Q (usage 0014)"
click_control KEY_010
wait_for 30 "the assignment dialog \"$assignment_title\" to be shown" assignment_shown
read -r qx qy qw qh < <(skin_rect KEY_010)
read -r wx wy ww wh < <(window_geometry "$main_window")
read -r dx dy dw dh < <(window_geometry "$assignment")
note "dialog $assignment at $dx,$dy size ${dw}x$dh; Q at $((wx + qx)),$((wy + qy)) size ${qw}x$qh"
[ "$dx $dy" = "$((wx + qx + qw)) $((wy + qy + qh))" ] ||
    fail "the dialog is at $dx,$dy, not at Q's lower right corner $((wx + qx + qw)),$((wy + qy + qh))"

step "5b. W typed with real X input is the key Q sends; OK"
timeout 5 xdotool windowfocus --sync "$assignment" >/dev/null 2>&1
xdotool key --clearmodifiers w
shoot_window assignment-dialog "$assignment"
click_control CONTROL_OK "$assignment" "$composite_skin"
wait_for 15 "the assignment dialog to close after OK" assignment_gone

step "5c. Apply; Q types W"
click_control CONTROL2_APPLY
wait_for 30 'Q to type W (usage 001a); it types: ${last_typed_flat:-}' key_types $key_q_position 001a
note "Q types W: $last_typed_flat"

# pixel_at X Y: the colour of the screen's pixel as "#RRGGBB".
pixel_at() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        grep -oE '#[0-9A-Fa-f]{6}\b' | head -n 1
}

# The mark of a key whose function the next Apply changes: a triangle in the key's top-right
# corner, in the colour the skin names.
change_mark="#$(skin_value SCREEN ChangeMark)"
key_marked() {
    local x y w h wx wy ww wh
    read -r x y w h < <(skin_rect "$1")
    read -r wx wy ww wh < <(window_geometry "$main_window")
    [ -n "${wh:-}" ] || return 1
    last_pixel=$(pixel_at $((wx + x + w - 5)) $((wy + y + 5))) || return 1
    [ "${last_pixel^^}" = "${change_mark^^}" ]
}
key_unmarked() { ! key_marked "$1"; }

# main_window_keys KEYS...: keys typed with real X input into the main window.
main_window_keys() {
    timeout 5 xdotool windowfocus --sync "$main_window" >/dev/null 2>&1
    xdotool key --clearmodifiers "$@" || fail "xdotool key $* failed"
}

readonly pending_title="待应用的更改"
pending_shown() {
    pending=$(xdotool search --onlyvisible --name "^${pending_title}\$" 2>/dev/null | head -n 1)
    [ -n "$pending" ]
}
pending_gone() { ! alive_window "$pending"; }

step "5c1. Ctrl+Z in the main window: Q is marked as changed, the keyboard still has W"
key_marked KEY_010 && fail "Q carries the change mark right after Apply"
main_window_keys ctrl+z
wait_for 15 'the change mark on Q (the pixel is ${last_pixel:-?}, the mark $change_mark)' \
    key_marked KEY_010
key_types $key_q_position 001a || fail "the undo alone changed the keyboard: Q types \"$last_typed_flat\""

step "5c2. Button Menu, \"$pending_title...\": the list of what Apply will change"
# The shown pop-ups of the program (override-redirect windows: menus and tooltips).
popup_windows() {
    local window
    for window in $(xdotool search --onlyvisible --classname '^tavrik$' 2>/dev/null); do
        xwininfo -id "$window" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$window"
    done
}
# A pop-up that came after the click, taller than a tooltip: the menu, which takes the keyboard
# when it is shown.
menu_shown() {
    local window x y w h
    for window in $(popup_windows); do
        grep -qxF "$window" <<<"$popups_before" && continue
        read -r x y w h < <(window_geometry "$window")
        [ "${h:-0}" -ge 100 ] && return 0
    done
    return 1
}
popups_before=$(popup_windows)
click_control CONTROL_MENU
wait_for 15 "the Button Menu to open" menu_shown
# Undo and redo (both possible now) come first, then the list.
xdotool key --clearmodifiers Down Down Down Return
wait_for 15 "the window \"$pending_title\" to be shown" pending_shown
shoot_window pending-changes "$main_window"
timeout 5 xdotool windowfocus --sync "$pending" >/dev/null 2>&1
xdotool key --clearmodifiers Escape
wait_for 15 "the window \"$pending_title\" to close after Escape" pending_gone

step "5c3. Apply writes the undone state: Q types Q, and its mark goes"
click_control CONTROL2_APPLY
wait_for 30 'Q to type Q (usage 0014); it types: ${last_typed_flat:-}' key_types $key_q_position 0014
wait_for 15 'the change mark on Q to go (the pixel is ${last_pixel:-?})' key_unmarked KEY_010

step "5c4. Ctrl+Shift+Z redoes; Apply; Q types W again"
main_window_keys ctrl+shift+z
wait_for 15 'the change mark on Q after the redo (the pixel is ${last_pixel:-?})' \
    key_marked KEY_010
click_control CONTROL2_APPLY
wait_for 30 'Q to type W (usage 001a); it types: ${last_typed_flat:-}' key_types $key_q_position 001a
note "Q types W again: $last_typed_flat"

# Succeeds when a tap of F1 plays A then B.
f1_plays_a_then_b() {
    last_typed=$(typed_by_tap $key_f1_position) || return 1
    last_typed_flat=$(echo $last_typed)
    [ "$last_typed" = "$(printf '0007 0004 down\n0007 0004 up\n0007 0005 down\n0007 0005 up')" ]
}

step "5d. a click on F1, the macro tab and a new macro; A and B recorded with real X input; OK"
click_control KEY_03B
wait_for 30 "the assignment dialog \"$assignment_title\" to be shown" assignment_shown
for key in CONTROL_MACRO FUNC_MACRO_ADD FUNC_MACRO_RECORD; do
    click_control "$key" "$assignment" "$composite_skin"
done
timeout 5 xdotool windowfocus --sync "$assignment" >/dev/null 2>&1
xdotool key --clearmodifiers a b
click_control FUNC_MACRO_RECORD "$assignment" "$composite_skin"
shoot_window assignment-macro "$assignment"
click_control CONTROL_OK "$assignment" "$composite_skin"
wait_for 15 "the assignment dialog to close after OK" assignment_gone

step "5e. Apply; F1 plays the macro"
click_control CONTROL2_APPLY
wait_for 30 'F1 to play A then B; it types: ${last_typed_flat:-}' f1_plays_a_then_b
note "F1 plays: $last_typed_flat"

# --- 6. the lighting panel ------------------------------------------------------------------------

# lighting_byte_is N VALUE: byte N of the keyboard's lighting parameters is VALUE (decimal).
lighting_byte_is() {
    last_lighting_byte=$(dump_byte lighting "$1") || return 1
    [ "$last_lighting_byte" = "$(printf '%02x' "$2")" ]
}

# key_colour_is POSITION HEX: the key's colour triple in the keyboard's per-key table.
key_colour_is() {
    local r g b
    r=$(dump_byte colours $(($1 * 3))) && g=$(dump_byte colours $(($1 * 3 + 1))) &&
        b=$(dump_byte colours $(($1 * 3 + 2))) || return 1
    last_colour="$r $g $b"
    [ "$last_colour" = "$2" ]
}

settings_file="$HOME/Documents/Tavrik/zezi.ini"
edit_mode_on() { grep -qx 'DengCheck=1' "$settings_file" 2>/dev/null; }

# choose_effect N: the effect list opened with a click, its Nth item taken with the keyboard (the
# emulated keyboard offers effects 1..10 in order).
choose_effect() {
    click_control CONTROL_XGCOMBOX
    sleep 0.5
    xdotool key --clearmodifiers Home
    local down
    for ((down = 1; down < $1; down++)); do xdotool key --clearmodifiers Down; done
    xdotool key --clearmodifiers Return
    wait_for 15 'the keyboard to run effect '"$1"' (byte 0 is ${last_lighting_byte:-?})' \
        lighting_byte_is 0 "$1"
}

readonly key_s_position=27 key_d_position=35

step "6. the lighting switch turns the edit mode on"
click_control CONTROL_DENGSELECT
wait_for 15 "DengCheck=1 in $settings_file" edit_mode_on

step "6a. each effect with its own controls"
for effect in 1 2 4 5 6; do
    choose_effect $effect
    shoot_window "lighting-effect-$effect" "$main_window"
done

step "6b. effect 6: all lit, then the darken tool on A and S; the keyboard holds them dark"
click_control CONTROL_USERqlSta
wait_for 15 'D to be lit (it is ${last_colour:-?})' key_colour_is $key_d_position "ff ff ff"
click_control CONTROL_USERGJSTATIC2
click_control KEY_01E
click_control KEY_01F
wait_for 15 'A to be dark (it is ${last_colour:-?})' key_colour_is $key_a_position "00 00 00"
wait_for 15 'S to be dark (it is ${last_colour:-?})' key_colour_is $key_s_position "00 00 00"
key_colour_is $key_d_position "ff ff ff" || fail "D changed to $last_colour though it was not clicked"
shoot_window lighting-painted "$main_window"

step "6c. the brightness slider dragged from its left end to its right end"
read -r x y w h < <(skin_rect CONTROL_LightSlider)
read -r wx wy ww wh < <(window_geometry "$main_window")
# The knob's centre runs from 11 pixels inside the left end to 11 inside the right end.
slider_y=$((wy + y + h / 2))
xdotool mousemove --sync $((wx + x + 11)) $slider_y mousedown 1
for step_x in 60 120 180 240 $((w - 11)); do
    xdotool mousemove --sync $((wx + x + step_x)) $slider_y
done
xdotool mouseup 1
wait_for 15 'brightness 25 (byte 1 is ${last_lighting_byte:-?})' lighting_byte_is 1 25

# --- 7. /Kill ------------------------------------------------------------------------------------

step "7. tavrik /Kill ends the first instance with exit code 0"
timeout 60 "$tavrik" /Kill >"$work/kill.log" 2>&1
kill_status=$?
[ $kill_status -eq 0 ] || fail "tavrik /Kill ended with status $kill_status: $(cat "$work/kill.log")"
expect_clean_end "$tavrik_pid" "the first instance"
alive "$emu_pid" || fail "the emulated keyboard ended during the test"

step "passed"
