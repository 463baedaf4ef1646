#!/usr/bin/env bash
# Builds everything and runs every test under Wine: bash scripts/test.sh [ctest arguments]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${LQ_BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -Wno-dev >/dev/null
cmake --build "$build" -j "$(nproc)"
# What a user downloads is built too, so the tests check it (its own build folder; quick once built).
bash "$root/scripts/release.sh"

# shellcheck source=scripts/wine-session.sh
source "$root/scripts/wine-session.sh"
trap lq_session_stop EXIT
lq_session_start "$build/wineprefix"

cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
