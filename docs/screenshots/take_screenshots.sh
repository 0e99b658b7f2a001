#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb: the three skinned dialogs (through
# tavrik-skin-preview), the tray icon's menu (the real program, docked in trayer) and the
# running program on an emulated keyboard as the end-to-end test drives it (main-window-running,
# tray-docked, profile2-active, default-question, after-default-apply, assignment-dialog,
# assignment-macro, pending-changes, lighting-effect-1, -2, -4, -5, -6, lighting-painted) and the
# profile manager (through its Qt test).
#   docs/screenshots/take_screenshots.sh [BUILD_FOLDER]      (default: build/dev)
# Needs: xvfb trayer xdotool x11-utils imagemagick (Debian packages).
set -euo pipefail
cd "$(dirname "$0")/../.."
bin="${1:-build/dev}/bin"
out=docs/screenshots
work=$(mktemp -d)
display_number=:77
started=()
cleanup() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

start() { "$@" >"$work/log.$RANDOM" 2>&1 & started+=($!); }

start Xvfb "$display_number" -screen 0 1400x900x24 -nolisten tcp
export DISPLAY=$display_number
sleep 1.5
convert -size 1400x900 gradient:'#2a3142'-'#12151c' "$work/desktop.png"
start display -window root "$work/desktop.png"
sleep 1

# The window of a running program: WIDTHxHEIGHT+X+Y.
window_geometry() {
    xwininfo -root -children | grep "(\"$1\"" | grep -v ' 3x3+' | grep -v ' 1x1+' |
        grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1
}

# Shoots the window with a margin of desktop around it.
shoot_window() {
    local name=$1 geometry width height x y rest
    geometry=$(window_geometry tavrik-skin-preview)
    width=${geometry%%x*}; rest=${geometry#*x}; height=${rest%%+*}; rest=${rest#*+}
    x=${rest%%+*}; y=${rest#*+}
    import -window root -crop $((width + 48))x$((height + 48))+$((x - 24))+$((y - 24)) +repage \
        -strip -define png:compression-level=9 "$out/$name.png"
}

for dialog in main profile composite macro; do
    "$bin/tavrik-skin-preview" "$dialog" >"$work/preview.log" 2>&1 &
    preview=$!
    sleep 3
    shoot_window "$dialog"
    kill "$preview"
    wait "$preview" 2>/dev/null || true
done

# The tray: a dark panel along the bottom with the program's icon, its menu open.
start trayer --edge bottom --align right --widthtype percent --width 100 --height 32 \
    --transparent true --alpha 0 --tint 0x262a33 --SetDockType true --padding 8
sleep 2
mkdir -m 700 "$work/run"
HOME="$work" XDG_RUNTIME_DIR="$work/run" start "$bin/tavrik"
sleep 3
xdotool mousemove 1383 872 click 3
sleep 1.5
import -window root -crop 440x220+960+680 +repage -strip -define png:compression-level=9 \
    "$out/tray.png"
xdotool key Escape
HOME="$work" XDG_RUNTIME_DIR="$work/run" "$bin/tavrik" /Kill

# The profile manager on an emulated keyboard with a loaded, a damaged and a missing file, drawn
# offscreen by its Qt test.
QT_QPA_PLATFORM=offscreen "$bin/gui_profile_manager" screenshot >"$work/manager.log" 2>&1
cp "$bin/screenshots/profile-manager.png" "$out/profile-manager.png"

# The running program, clicked through by the end-to-end test on its own display.
tests/e2e/desktop_e2e.sh "$bin/tavrik" "$bin/tavrik-emu" "$bin/tavrikctl" --screenshots "$out"
ls -l "$out"/*.png
