#!/usr/bin/env bash
# The Debian package as a user meets it: made by CPack from a finished build, checked by lintian,
# installed with dpkg, its programs run from where the package put them (tavrikctl on the demo
# keyboard; tavrik under Xvfb, where no tray host runs, so that it opens its window when the
# keyboard is attached, and ends with /Kill), then removed and purged, leaving nothing behind
# outside the user's own home.
#
#   scripts/package_test.sh [BUILD_DIR] [--screenshot FILE]
#
# BUILD_DIR (default build/ci) must be built already; nothing is compiled again. Needs root (it
# calls sudo otherwise), Xvfb and xdotool; lintian runs when it is installed. Refuses to run
# where the package is installed already, so that nobody's installation is replaced.
set -uo pipefail

readonly WAIT_SECONDS=60
readonly WINDOW_TITLE="游戏键盘设定"

build="$(dirname "$0")/../build/ci"
screenshot=""
while [ $# -gt 0 ]; do
    case "$1" in
    --screenshot)
        screenshot=$(realpath -m "$2")
        shift 2
        ;;
    *)
        build=$(realpath -m "$1")
        shift
        ;;
    esac
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
passed=0
installed=0
started=()
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrik-package.XXXXXX")

step() { echo "==> $*"; }
pass() {
    echo "    ok: $*"
    passed=$((passed + 1))
}
fail() {
    echo "FAILED: $*" >&2
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "---- $(basename "$log")" >&2; tail -n 30 "$log" >&2; }
    done
    echo "package: $passed passed, 1 failed"
    exit 1
}
clean_up() {
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    [ "$installed" -eq 1 ] && $sudo dpkg --purge tavrik >/dev/null 2>&1
    rm -rf "$work"
}
trap clean_up EXIT

# Waits up to WAIT_SECONDS for a command to succeed.
wait_for() {
    local deadline=$((SECONDS + WAIT_SECONDS))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# Every file and folder a package may leave on the system, dpkg's own records aside.
system_files() {
    find /etc /usr /opt /var/lib -xdev -path /var/lib/dpkg -prune -o -print 2>/dev/null | sort
}

for tool in cpack dpkg Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done
[ -f "$build/CMakeCache.txt" ] || fail "$build is not a build folder (run scripts/test.sh ci first)"
dpkg-query -W -f='${Status}' tavrik 2>/dev/null | grep -q "ok installed" &&
    fail "the package tavrik is installed already; remove it first"

step "1. cpack -G DEB in $build"
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || fail "cpack failed"
deb=$(realpath "$build"/tavrik_*_*.deb)
[ -f "$deb" ] || fail "cpack made no tavrik_*.deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Recommends\|Installed-Size\):/    \1:/p'
pass "$(basename "$deb"), $(du -h "$deb" | cut -f1)"

step "2. lintian"
if command -v lintian >/dev/null; then
    lintian --fail-on error --display-level ">=warning" "$deb" 2>&1 | grep -v "^running with root" |
        tee "$work/lintian.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian found errors"
    pass "no errors ($(grep -c '^W:' "$work/lintian.log") warnings)"
else
    echo "    lintian is not installed: not checked"
fi

step "3. dpkg -i"
system_files >"$work/before.txt"
$sudo dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || fail "dpkg -i failed: $(tail -n 5 "$work/dpkg.log")"
installed=1
for path in /usr/bin/tavrik /usr/bin/tavrikctl /usr/bin/tavrik-emu /lib/udev/rules.d/70-voltri-vx60.rules \
    /etc/xdg/autostart/tavrik.desktop /usr/share/man/man1/tavrik.1.gz; do
    [ -e "$path" ] || fail "$path is missing after the installation"
done
pass "installed: $(dpkg-query -L tavrik | wc -l) paths"

step "4. the installed programs"
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
export HOME="$home" XDG_RUNTIME_DIR="$work/run"
unset XDG_CONFIG_HOME XDG_DATA_HOME QT_QPA_PLATFORM TAVRIK_DEVICE
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY tavrik --version) >"$work/version.log" 2>&1 ||
    fail "tavrik --version without a display failed"
pass "$(cat "$work/version.log"), $(tavrik-emu --version), $(tavrikctl --version)"
(cd / && /usr/bin/tavrikctl --device demo info) >"$work/info.log" 2>&1 ||
    fail "tavrikctl --device demo info failed"
grep -q "keyboards attached: 1" "$work/info.log" || fail "tavrikctl info saw no keyboard"
# The effects' names come from the skin, found through the program folder's links.
grep -q "1 wave (" "$work/info.log" || fail "tavrikctl info did not find the installed skin"
sed 's/^/    /' "$work/info.log" | head -n 4
pass "tavrikctl --device demo info"

step "5. tavrik under Xvfb, no tray host: the window opens when the keyboard is attached"
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
started+=($!)
exec {display_fd}>&-
wait_for test -s "$work/display" || fail "Xvfb chose no display"
DISPLAY=":$(tr -dc '0-9' <"$work/display")"
export DISPLAY
tavrik --device demo >"$work/tavrik.log" 2>&1 &
tavrik_pid=$!
started+=("$tavrik_pid")
wait_for xdotool search --onlyvisible --name "^$WINDOW_TITLE\$" ||
    fail "no window \"$WINDOW_TITLE\" showed within $WAIT_SECONDS s"
pass "window \"$WINDOW_TITLE\" shown"
if [ -n "$screenshot" ]; then
    sleep 1
    import -window root "$screenshot" && echo "    screenshot: $screenshot"
fi
timeout "$WAIT_SECONDS" tavrik /Kill >"$work/kill.log" 2>&1 || fail "tavrik /Kill failed"
wait_for sh -c "! kill -0 $tavrik_pid" || fail "tavrik still runs after /Kill"
wait "$tavrik_pid" || fail "tavrik ended with status $? after /Kill"
pass "tavrik /Kill ended it with status 0"

step "6. dpkg -r, then dpkg --purge"
$sudo dpkg -r tavrik >>"$work/dpkg.log" 2>&1 || fail "dpkg -r failed"
system_files >"$work/removed.txt"
left=$(comm -13 "$work/before.txt" "$work/removed.txt")
[ "$left" = "/etc/xdg/autostart/tavrik.desktop" ] ||
    fail "dpkg -r left more than the autostart conffile: ${left:-nothing}"
pass "dpkg -r leaves only the conffile $left, inert without the program (TryExec)"
$sudo dpkg --purge tavrik >>"$work/dpkg.log" 2>&1 || fail "dpkg --purge failed"
installed=0
system_files >"$work/purged.txt"
left=$(comm -3 "$work/before.txt" "$work/purged.txt")
[ -z "$left" ] || fail "after dpkg --purge the system differs: $left"
pass "dpkg --purge leaves the system as it was"
echo "    the user's own files, in the home of the test:"
(cd "$home" && find . -mindepth 1 | sort | sed 's/^/      /')

echo "package: $passed passed, 0 failed"
