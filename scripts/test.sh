#!/usr/bin/env bash
# Configures, builds and runs every test with one CMake preset (default: ci).
#   scripts/test.sh [ci|dev|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
# Lets ccache share results between checkouts in different folders (CI clones anew).
export CCACHE_BASEDIR="$PWD"
preset="${1:-ci}"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
