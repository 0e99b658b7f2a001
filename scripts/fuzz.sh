#!/usr/bin/env bash
# Builds every libFuzzer target with the fuzz preset (clang, address and undefined-behaviour
# sanitizers) and runs each for a bounded time on a fresh corpus.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
# Lets ccache share results between checkouts in different folders (CI clones anew).
export CCACHE_BASEDIR="$PWD"
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers
corpus_root="$(mktemp -d)"
trap 'rm -rf "$corpus_root"' EXIT
while read -r fuzzer; do
    [ -n "$fuzzer" ] || continue
    mkdir -p "$corpus_root/$fuzzer"
    log="$corpus_root/$fuzzer.log"
    if ! "build/fuzz/bin/$fuzzer" "$corpus_root/$fuzzer" -max_total_time="$seconds" \
        -max_len=120000 -print_final_stats=1 >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "$fuzzer found a fault" >&2
        exit 1
    fi
    echo "$fuzzer: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs in ${seconds}s, nothing found"
done < build/fuzz/fuzzers.txt
