# Sourced by the build-and-run scripts: a Wine prefix of the project's own, an X display and a
# persistent wineserver, all stopped again by lq_session_stop.

lq_session_started_xvfb=
lq_session_xvfb_pid=

# lq_prefix_prepare PREFIX: makes the prefix once (Windows 10), then applies the test settings once
# per version of them, so an existing prefix picks up new settings without being made anew.
lq_prefix_settings_version=3
lq_prefix_prepare() {
  local prefix=$1
  [[ -f "$prefix/.lq-settings-v$lq_prefix_settings_version" ]] && return 0
  (
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [[ ! -f "$prefix/.lq-created" ]]; then
      printf 'session: preparing the Wine prefix %s\n' "$prefix" >&2
      rm -rf "$prefix"
      mkdir -p "$prefix"
      wineboot -i >/dev/null 2>&1 </dev/null
      wine winecfg -v win10 >/dev/null 2>&1 </dev/null
      touch "$prefix/.lq-created"
    fi
    # The interface and editor faces map to an installed CJK font, so Japanese text renders.
    local face
    for face in "Meiryo UI" "Yu Gothic UI" "MS UI Gothic" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" \
      "Meiryo" "BIZ UDGothic" "MS Gothic"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Noto Sans CJK JP" /f \
        >/dev/null 2>&1 </dev/null
    done
    # Xvfb has no window manager; a window Wine hands to one waits two seconds for it whenever it is
    # hidden (every dialog). Windows that Wine manages itself do not wait.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    wineserver -w
  )
  rm -f "$prefix"/.lq-settings-v* "$prefix/.lq-ready"
  touch "$prefix/.lq-settings-v$lq_prefix_settings_version"
}

# lq_session_start PREFIX: a display (Xvfb, unless DISPLAY is set) and a persistent wineserver.
lq_session_start() {
  local prefix=$1
  export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [[ -z "${DISPLAY:-}" ]]; then
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 </dev/null &
    lq_session_xvfb_pid=$!
    local number
    read -r -t 20 number <"$fifo" || true
    rm -f "$fifo"
    [[ -n "$number" ]] || { printf 'session: Xvfb did not start\n' >&2; return 1; }
    export DISPLAY=":$number"
    lq_session_started_xvfb=1
  fi
  lq_prefix_prepare "$prefix"
  # The wineserver and the services Wine starts with the first program outlive that program and keep
  # every pipe they inherited open, so a test runner reading a test's output would wait for them.
  # Start them here, with their output going nowhere.
  wineserver -p >/dev/null 2>&1 </dev/null &
  wine cmd.exe /c exit 0 >/dev/null 2>&1 </dev/null || true
}

lq_session_stop() {
  [[ -n "${WINEPREFIX:-}" ]] && wineserver -k >/dev/null 2>&1 </dev/null || true
  if [[ -n "$lq_session_started_xvfb" && -n "$lq_session_xvfb_pid" ]]; then
    kill "$lq_session_xvfb_pid" 2>/dev/null || true
    wait "$lq_session_xvfb_pid" 2>/dev/null || true
  fi
}
