#!/usr/bin/env bash
# The command lines of tavrik and tavrik-emu as scripts and people use them, with no display at
# all: help and version answer on standard output with status 0, a usage error ends with status 2
# and says why on standard error, and `tavrik-emu serve` prints one line when it is ready.
#   check_command_lines.sh BIN_DIR
set -u
bin=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrik-command-lines.XXXXXX")
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM TAVRIK_DEVICE
export HOME="$work" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run"
failures=0

failed() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# One row: the status, a pattern for the first line of standard output ("-": nothing on it), how
# many lines on standard error ("+": at least one), then the program in BIN_DIR and its arguments.
while read -r status stdout stderr program arguments; do
    [ -z "$status" ] || [ "${status:0:1}" = "#" ] && continue
    # shellcheck disable=SC2086 # the arguments are words
    "$bin/$program" $arguments >"$work/out" 2>"$work/err"
    got=$?
    row="$program $arguments"
    [ $got -eq "$status" ] || failed "$row: status $got, expected $status"
    if [ "$stdout" = "-" ]; then
        [ -s "$work/out" ] && failed "$row: printed on standard output: $(head -n 1 "$work/out")"
    else
        head -n 1 "$work/out" | grep -Eq "$stdout" || failed "$row: standard output does not \
start with /$stdout/: $(head -n 1 "$work/out")"
    fi
    lines=$(wc -l <"$work/err")
    if [ "$stderr" = "+" ]; then
        [ "$lines" -ge 1 ] || failed "$row: nothing on standard error"
    else
        [ "$lines" -eq "$stderr" ] || failed "$row: $lines lines on standard error: $(cat "$work/err")"
    fi
done <<'ROWS'
0 ^usage:.tavrik.\[--device            0 tavrik --help
0 ^usage:.tavrik.\[--device            0 tavrik -h /Start
0 ^tavrik.[0-9]+\.[0-9]+\.[0-9]+$      0 tavrik --version
2 -                                    1 tavrik --verbose
2 -                                    1 tavrik /Start --device
2 -                                    1 tavrik --device bogus
2 -                                    1 tavrik --device=emu:
0 ^usage:.tavrik-emu.serve.SOCKET      0 tavrik-emu --help
0 ^tavrik-emu.[0-9]+\.[0-9]+\.[0-9]+$  0 tavrik-emu --version
0 ^usage:.tavrik-emu.serve.SOCKET      0 tavrik-emu serve --help
0 ^usage:.tavrik-emu.serve.SOCKET      0 tavrik-emu serve kbd.sock --profile 9 -h
2 -                                    + tavrik-emu
2 -                                    + tavrik-emu serve
2 -                                    + tavrik-emu serve kbd.sock --profile 9
2 -                                    + tavrik-emu listen
ROWS

# serve: the line comes once the socket takes connections. Read through a pipe, so the test
# waits for the line itself (or for the server's end), never for a time.
socket="$work/kbd.sock"
mkfifo "$work/serve.out"
"$bin/tavrik-emu" serve "$socket" >"$work/serve.out" 2>"$work/serve.err" &
server=$!
exec {serve_out}<"$work/serve.out"
read -r ready <&"$serve_out"
[ "$ready" = "ready on $socket" ] || failed "serve printed \"$ready\", expected \"ready on $socket\""
"$bin/tavrik-emu" ctl "$socket" quit >/dev/null || failed "the socket took no command after \"$ready\""
wait "$server" || failed "serve ended with status $?: $(cat "$work/serve.err")"
read -r more <&"$serve_out" && failed "serve printed more than one line: $more"
exec {serve_out}<&-

[ $failures -eq 0 ] && echo "all command lines as expected"
exit $((failures > 0))
