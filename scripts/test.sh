#!/usr/bin/env bash
# Installs what is needed, builds every target with the address and undefined-behaviour sanitizers and runs every
# test; then builds with the thread sanitizer and runs the tests that cross threads; then builds the fuzz harnesses
# with clang, replays their regression inputs and fuzzes each for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)
# Window tests need a display; a virtual one serves on machines without, large enough for a full-HD window.
display=()
[ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null && display=(xvfb-run -a -s "-screen 0 2560x1440x24")

cmake --preset ci
cmake --build --preset ci -j "$jobs"
"${display[@]}" ctest --preset ci -j "$jobs"

cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
"${display[@]}" ctest --preset tsan -j "$jobs"

bash scripts/fuzz.sh
