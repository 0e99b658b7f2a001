#!/usr/bin/env bash
# Runs a command with an emulated VX60 attached the way a real one is: `tavrik-emu serve` is the
# keyboard, and tavrik-hidraw-rig shows it to the command as Linux shows a USB keyboard (hidraw
# nodes at /dev/hidrawN, its devices in sysfs, udev's add and remove messages), inside mount and
# network namespaces of its own, so the command's unmodified hidapi and libudev find it.
#
#   scripts/hidraw-rig.sh [--owner USER] [--group GROUP] [--mode OCTAL] [--uaccess]
#                         [--shape shared|separate] [--serve ARG]... -- COMMAND ARGS...
#
#   --owner, --group, --mode  who may open the hidraw nodes (root, root, 0600: the kernel's)
#   --uaccess                 udev tags the nodes "uaccess", as the package's rule does
#   --shape                   shared: CONS, CTRL and LED on one interface (the default);
#                             separate: one interface each
#   --serve ARG               one more argument for `tavrik-emu serve` (--unplugged, --state F)
#
# In COMMAND, TAVRIK_RIG_SOCKET is the emulator's socket (`tavrik-emu ctl "$TAVRIK_RIG_SOCKET"
# unplug`, plug, tap, typed, dump, fault ...) and the built programs are on PATH. Exit status:
# the command's, or 1 when the rig cannot start. Needs root. The programs come from build/ci/bin
# or TAVRIK_BIN_DIR.
set -euo pipefail

bin=${TAVRIK_BIN_DIR:-"$(cd "$(dirname "$0")/.." && pwd)/build/ci/bin"}
rig_args=()
serve_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case "$1" in
    --uaccess)
        rig_args+=("$1")
        shift
        ;;
    --owner | --group | --mode | --shape)
        [ $# -ge 2 ] || { echo "hidraw-rig.sh: $1 needs a value" >&2; exit 1; }
        rig_args+=("$1" "$2")
        shift 2
        ;;
    --serve)
        [ $# -ge 2 ] || { echo "hidraw-rig.sh: --serve needs a value" >&2; exit 1; }
        serve_args+=("$2")
        shift 2
        ;;
    *)
        echo "hidraw-rig.sh: unknown option $1" >&2
        exit 1
        ;;
    esac
done
[ $# -ge 2 ] || { sed -n '7,19p' "$0" >&2; exit 1; }
shift
[ "$(id -u)" -eq 0 ] || { echo "hidraw-rig.sh: needs root (namespaces, mounts)" >&2; exit 1; }
for program in tavrik-emu tavrik-hidraw-rig; do
    [ -x "$bin/$program" ] || { echo "hidraw-rig.sh: $bin/$program is not built" >&2; exit 1; }
done

work=$(mktemp -d /tmp/tavrik-hidraw-rig-run.XXXXXX)
emu_pid=""
finish() {
    if [ -n "$emu_pid" ]; then
        kill "$emu_pid" 2>/dev/null || true
        wait "$emu_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap finish EXIT

socket="$work/keyboard.sock"
"$bin/tavrik-emu" serve "$socket" "${serve_args[@]}" >"$work/emu.log" 2>&1 &
emu_pid=$!
for _ in $(seq 100); do
    [ -S "$socket" ] && break
    kill -0 "$emu_pid" 2>/dev/null || break
    sleep 0.05
done
if [ ! -S "$socket" ]; then
    echo "hidraw-rig.sh: tavrik-emu did not start:" >&2
    cat "$work/emu.log" >&2
    exit 1
fi

export TAVRIK_RIG_SOCKET="$socket"
export PATH="$bin:$PATH"
status=0
"$bin/tavrik-hidraw-rig" --socket "$socket" "${rig_args[@]}" -- "$@" || status=$?
exit "$status"
