#!/usr/bin/env bash
# Builds the programs with the dev preset and runs one of them with the given arguments.
#   scripts/run.sh tavrik --device demo
#   scripts/run.sh tavrikctl --device demo info
set -euo pipefail
cd "$(dirname "$0")/.."
# Lets ccache share results between checkouts in different folders (CI clones anew).
export CCACHE_BASEDIR="$PWD"
cmake --preset dev >/dev/null
cmake --build --preset dev
program="$1"
shift
exec "build/dev/bin/$program" "$@"
