#!/usr/bin/env bash
# Runs one command inside a Wine session of a build folder (its prefix, a display, a persistent
# wineserver), then stops what it started:
#   bash scripts/with-wine.sh build wine build/bin/store_tests.exe --gtest_filter='Open*'
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "$1" && pwd)
shift
# shellcheck source=scripts/wine-session.sh
source "$root/scripts/wine-session.sh"
trap lq_session_stop EXIT
lq_session_start "$build/wineprefix"
"$@"
