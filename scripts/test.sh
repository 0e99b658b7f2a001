#!/usr/bin/env bash
# Configures, builds and runs the tests of one CMake preset (default: ci): every test, except
# with tsan, which builds and runs the device, events and emulator tests only.
#   scripts/test.sh [ci|dev|asan|tsan]
set -euo pipefail
cd "$(dirname "$0")/.."
# Lets ccache share results between checkouts in different folders (CI clones anew).
export CCACHE_BASEDIR="$PWD"
preset="${1:-ci}"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
