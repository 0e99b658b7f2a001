#!/usr/bin/env bash
# Runs startup_bench on a private Xvfb display with trayer as the tray host.
#   bench/startup/run_startup_bench.sh [BUILD_FOLDER] [RUNS]      (default: build/ci, 5)
set -euo pipefail
bin="$(realpath "${1:-build/ci}")/bin"
runs="${2:-5}"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 1400x900x24 -nolisten tcp -noreset 2>/dev/null &
pids+=($!)
exec {display_fd}>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
trayer --edge bottom --align right --widthtype percent --width 100 --height 32 \
    --SetDockType true >/dev/null 2>&1 &
pids+=($!)
sleep 2
"$bin/startup_bench" "$bin/tavrik" "$bin/startup_plain_tray" "$bin/icons" "$runs"
