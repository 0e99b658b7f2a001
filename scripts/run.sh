#!/usr/bin/env bash
# Builds the programs with the dev preset and runs one of them with the given arguments. Without
# --device (or TAVRIK_DEVICE) and with no VX60 plugged in, the emulated demo keyboard is used.
#   scripts/run.sh tavrik
#   scripts/run.sh tavrikctl --device demo info
set -euo pipefail
cd "$(dirname "$0")/.."
# Lets ccache share results between checkouts in different folders (CI clones anew).
export CCACHE_BASEDIR="$PWD"
cmake --preset dev >/dev/null
cmake --build --preset dev
program="$1"
shift

# True when a hidraw node of the keyboard (USB 04b4:2009) is there.
keyboard_attached() {
  grep -qsi "HID_ID=0003:000004B4:00002009" /sys/class/hidraw/*/device/uevent
}

device=()
if [[ " $* " != *" --device"* && -z "${TAVRIK_DEVICE:-}" ]] && ! keyboard_attached; then
  echo "run.sh: no VX60 attached, using the demo keyboard (--device demo)" >&2
  device=(--device demo)
fi
exec "build/dev/bin/$program" "${device[@]}" "$@"
