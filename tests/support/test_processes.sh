# The processes a shell test starts, and their end: sourced by the end-to-end tests and the
# single-instance test. The sourcing script sets `work` (its private temporary folder, whose
# subfolders are the HOMEs of the programs it runs) and may call `start`; at the end, or on
# failure, cleanup stops every process it started and every one that carries one of its HOMEs.
#
# The sourcing script defines fail REASON, which cleanup's INT/TERM trap calls.

readonly POLL_INTERVAL=0.1

work=""
started=()

alive() { kill -0 "$1" 2>/dev/null; }

# The processes whose HOME lies inside the private folder, also any not started here by id (a
# program started detached by the desktop program).
our_processes() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" != $$ ] || continue
        if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -q "^HOME=$work/"; then
            echo "$pid"
        fi
    done
}

stop_everything() {
    local pid deadline=$((SECONDS + 5))
    for pid in "${started[@]}"; do
        kill -TERM "$pid" 2>/dev/null
    done
    for pid in "${started[@]}"; do
        while alive "$pid" && [ $SECONDS -lt $deadline ]; do
            sleep $POLL_INTERVAL
        done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    for pid in $(our_processes); do
        kill -KILL "$pid" 2>/dev/null
    done
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    stop_everything
    [ -n "$work" ] && rm -rf "$work"
    exit $status
}

# clean_up_at_exit: from now on the end of the script, or an interruption, runs cleanup.
clean_up_at_exit() {
    trap cleanup EXIT
    trap 'fail "interrupted"' INT TERM
}

# poll SECONDS COMMAND...: runs COMMAND until it succeeds (status 0) or the time is up (1).
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep $POLL_INTERVAL
    done
}
