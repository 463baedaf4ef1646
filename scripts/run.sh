#!/usr/bin/env bash
# Builds the program and starts it under Wine: bash scripts/run.sh [program arguments]
# It shows on $DISPLAY when one is set; without one it runs on a private Xvfb display, where nobody
# sees it (useful with --smoke). The database is build/bin/memo.db unless --db names another.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${LQ_BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -Wno-dev >/dev/null
cmake --build "$build" -j "$(nproc)" --target lanternquill

# shellcheck source=scripts/wine-session.sh
source "$root/scripts/wine-session.sh"
trap lq_session_stop EXIT
lq_session_start "$build/wineprefix"

set +e
wine "$build/bin/lanternquill.exe" "$@"
code=$?
set -e
printf 'lanternquill exited with code %s\n' "$code"
exit "$code"
