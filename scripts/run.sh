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

# On a private display the window is out of sight and the terminal would just wait: say where it is,
# how to look at it and how to end the run.
if [[ -n "$lq_session_started_xvfb" ]]; then
  {
    printf 'run: no DISPLAY was set, so lanternquill runs on the private display %s, where no screen shows it.\n' "$DISPLAY"
    if command -v import >/dev/null 2>&1; then
      printf 'run: to see it, take a screenshot from another terminal: DISPLAY=%s import -window root shot.png\n' "$DISPLAY"
    fi
    if command -v x11vnc >/dev/null 2>&1; then
      printf 'run: or attach a VNC viewer after: x11vnc -display %s -localhost\n' "$DISPLAY"
    fi
    printf 'run: to show it on your own screen, run again with DISPLAY set.\n'
    printf 'run: the run ends when the window is closed or with Ctrl+C here.\n'
  } >&2
fi

set +e
wine "$build/bin/lanternquill.exe" "$@"
code=$?
set -e
printf 'lanternquill exited with code %s\n' "$code"
exit "$code"
