#!/usr/bin/env bash
# End-to-end test of the desktop program's tray icon on a StatusNotifier host, the kind of tray
# GNOME (with the AppIndicator extension), KDE Plasma and Xfce show: the icon is an item on the
# session bus, not a window docked in the tray.
#
#   status_notifier_e2e.sh TAVRIK TAVRIK_EMU [--screenshots DIR]
#
# Runs a private session bus, Xvfb and xfce4-panel with its status tray as the host, and
# `tavrik-emu serve` as the keyboard. Checks what the host reads of the item (its pictures and
# tooltip as the keyboard comes and goes, its menu), opens the window with a real click on the
# icon the host drew, and ends the program with the menu's exit through the host's menu protocol.
#
# Exit status: 0 passed, 1 failed, 77 skipped (Xvfb, xfce4-panel, dbus-daemon, gdbus or xdotool
# not installed).
set -uo pipefail

source "$(dirname "$0")/e2e_session.sh"

parse_arguments "TAVRIK TAVRIK_EMU [--screenshots DIR]" 2 "$@"
tavrik=${programs[0]} emu=${programs[1]}

require_tools Xvfb xfce4-panel dbus-daemon gdbus xdotool
need_tools xwininfo import convert md5sum

make_private_session sni
export QT_QPA_PLATFORM=xcb
readonly main_window_title="游戏键盘设定"
readonly panel_height=32
sock="$work/run/keyboard.sock"

# --- the session bus and its properties ----------------------------------------------------------

bus_call() { gdbus call --session --timeout 5 "$@"; }

# bus_property SERVICE PATH INTERFACE NAME: the property as gdbus prints it.
bus_property() {
    bus_call --dest "$1" --object-path "$2" --method org.freedesktop.DBus.Properties.Get "$3" "$4"
}

watcher_running() {
    bus_call --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep -q true
}

# Sets item_service and item_path to the one item registered with the watcher.
item_registered() {
    local items
    items=$(bus_property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems) || return 1
    local item
    item=$(grep -o "'[^']*'" <<<"$items" | head -n 1 | tr -d "'")
    [ -n "$item" ] || return 1
    item_service=${item%%/*}
    item_path=/${item#*/}
}

item_property() { bus_property "$item_service" "$item_path" org.kde.StatusNotifierItem "$1"; }

# A short digest of the picture the host is given.
icon_digest() { item_property IconPixmap | md5sum | cut -c1-12; }

# tooltip_says WORDS: the item's tooltip carries WORDS (sets last_tooltip).
tooltip_says() {
    last_tooltip=$(item_property ToolTip) || return 1
    grep -qF "$1" <<<"$last_tooltip"
}

icon_changed_from() { [ "$(icon_digest)" != "$1" ]; }
icon_is() { [ "$(icon_digest)" = "$1" ]; }

# --- the host's panel ------------------------------------------------------------------------

# A panel along the top of the screen with only the status tray, so that the only picture on it
# is the program's icon.
write_panel_configuration() {
    local folder="$work/xdg/xfce4/panel"
    mkdir -p "$folder"
    cat >"$folder/default.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="dark-mode" type="bool" value="true"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="24"/>
      <property name="size" type="uint" value="$panel_height"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
EOF
    export XDG_CONFIG_DIRS="$work/xdg"
}

# Sets icon_x and icon_y to the middle of what the panel draws: the program's icon.
find_icon_on_panel() {
    import -window root -crop "${screen_width}x${panel_height}+0+0" +repage "$work/panel.png" ||
        return 1
    local box
    # Everything but the panel's plain ground, cut to its bounding box: "WxH+X+Y".
    box=$(convert "$work/panel.png" -fuzz 12% -trim -format '%wx%h%O' info: 2>/dev/null) ||
        return 1
    local w h x y
    IFS='x+' read -r w h x y <<<"$box"
    # A trim of a plain strip is 1x1; an icon is a square of at least 12 pixels.
    [ "${w:-0}" -ge 12 ] && [ "${w:-0}" -le 64 ] || return 1
    icon_x=$((x + w / 2))
    icon_y=$((y + h / 2))
}

main_window_shown() {
    xdotool search --onlyvisible --name "$main_window_title" >/dev/null 2>&1
}

# --- 1. session bus, X server, host, keyboard ------------------------------------------------

step "1. a private session bus, Xvfb and xfce4-panel's status tray as the host"
exec {bus_fd}>"$work/bus"
start bus dbus-daemon --session --nofork --nopidfile --print-address="$bus_fd"
exec {bus_fd}>&-
bus_written() { [ -s "$work/bus" ]; }
wait_for 20 "the session bus to start" bus_written
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
note "session bus $DBUS_SESSION_BUS_ADDRESS"
start_x_server
write_panel_configuration
start panel xfce4-panel --disable-wm-check
wait_for 30 "xfce4-panel to take the StatusNotifierWatcher name" watcher_running

step "1b. tavrik-emu serves the keyboard on $sock"
start emu "$emu" serve "$sock"
wait_for 20 "the emulated keyboard to answer" emu_ctl dump settings

# --- 2. the item -------------------------------------------------------------------------------

step "2. tavrik --device emu:SOCK registers its item with the watcher"
start tavrik "$tavrik" --device "emu:$sock"
tavrik_pid=$last_pid
wait_for 60 "the program's item to be registered" item_registered
note "item $item_service$item_path"
grep -q "no notification area" "$work/tavrik.err" &&
    fail "the program says no notification area runs beside a StatusNotifier host"
wait_for 30 'the tooltip to say the keyboard is attached (it says ${last_tooltip:-nothing})' \
    tooltip_says "键盘已连接"
[ "$(item_property Status)" = "(<'Active'>,)" ] || fail "the item's status is $(item_property Status)"
attached_icon=$(icon_digest)
item_property IconPixmap | grep -q "byte" || fail "the item gives the host no picture"

step "2b. the keyboard unplugged and plugged: the host is given the other picture and words"
emu_ctl unplug >/dev/null || fail "tavrik-emu ctl unplug failed"
wait_for 30 'the tooltip to say no keyboard (it says ${last_tooltip:-nothing})' \
    tooltip_says "未检测到键盘"
wait_for 10 "a picture other than the attached keyboard's" icon_changed_from "$attached_icon"
emu_ctl plug >/dev/null || fail "tavrik-emu ctl plug failed"
wait_for 30 'the tooltip to say the keyboard is attached again (it says ${last_tooltip:-nothing})' \
    tooltip_says "键盘已连接"
wait_for 10 "the attached keyboard's picture again" icon_is "$attached_icon"

# --- 3. a click on the icon the host drew --------------------------------------------------------

step "3. a click on the icon in the panel opens the main window"
wait_for 20 "the icon to be drawn on the panel" find_icon_on_panel
note "icon drawn at $icon_x,$icon_y"
main_window_shown && fail "the main window was shown before the click"
xdotool mousemove "$icon_x" "$icon_y" click 1
wait_for 30 "the main window to be shown" main_window_shown
shoot tray-status-notifier

# --- 4. the menu -----------------------------------------------------------------------------

step "4. the item's menu, as the host reads it"
menu_path=$(item_property Menu | grep -o "'/[^']*'" | tr -d "'")
[ -n "$menu_path" ] || fail "the item has no menu: $(item_property Menu)"
layout=$(bus_call --dest "$item_service" --object-path "$menu_path" \
    --method com.canonical.dbusmenu.GetLayout 0 'int32 -1' '@as []') || fail "the host cannot read the menu"
for label in "打开" "停止正在播放的宏" "关于" "退出"; do
    grep -qF "$label" <<<"$layout" || fail "the menu lacks \"$label\": $layout"
done
# Stopping a macro is shown but cannot be chosen: its entry is the one disabled.
disabled=$(grep -o "{[^}]*'enabled': <false>[^}]*}" <<<"$layout")
grep -qF "停止正在播放的宏" <<<"$disabled" && [ "$(grep -c "'label'" <<<"$disabled")" -eq 1 ] ||
    fail "the disabled entries are not exactly stopping a macro: ${disabled:-none}"

step "4a. a right click on the icon: the host shows the menu"
# The shown pop-up windows (override-redirect, as menus are) on the screen.
shown_popups() {
    local window
    for window in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
        xwininfo -id "$window" 2>/dev/null |
            grep -q 'Override Redirect State: yes' || continue
        alive_window "$window" && echo "$window"
    done
}
popups_before=$(shown_popups)
menu_shown() { [ -n "$(comm -13 <(sort <<<"$popups_before") <(shown_popups | sort))" ]; }
xdotool mousemove "$icon_x" "$icon_y" click 3
wait_for 15 "the host's menu to be shown" menu_shown
shoot tray-status-notifier-menu
xdotool key Escape

step "4b. the menu's exit, chosen through the host, ends the program with 0"
# The entry's id: the number that opens the group holding its label.
exit_id=$(grep -o "([0-9]*, {[^}]*'退出[^}]*}" <<<"$layout" | grep -o "^([0-9]*" | tr -d '(')
[ -n "$exit_id" ] || fail "no menu entry id for \"退出\" in $layout"
bus_call --dest "$item_service" --object-path "$menu_path" --method com.canonical.dbusmenu.Event \
    "$exit_id" clicked '<0>' 0 >/dev/null || fail "the host could not choose exit"
expect_clean_end "$tavrik_pid" "the program"

step "passed"
