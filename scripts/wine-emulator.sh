#!/usr/bin/env bash
# Runs a Windows executable under Wine. ctest calls it for every test; scripts/test.sh has set the
# prefix, the display and the wineserver up. The exit code is the Windows program's own.
: "${WINEPREFIX:?run the tests through scripts/test.sh (it prepares the Wine prefix)}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
