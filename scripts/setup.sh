#!/usr/bin/env bash
# Installs what the build and the tests need and prepares the third-party sources in .deps/.
# Quick when everything is already there: each step leaves a stamp and is skipped the next time.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$root/.deps"
mkdir -p "$deps"

log() { printf 'setup: %s\n' "$*" >&2; }

# --- Debian packages --------------------------------------------------------
packages=(
  g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth tcl cmake ninja-build googletest
  fonts-noto-cjk xdotool imagemagick dpkg-dev ca-certificates debian-archive-keyring
)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  log "installing ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# --- Source packages, through a private apt configuration ------------------------
# The machine's own apt setup has no deb-src lines and is left as it is.
fetch_sources() {
  local apt="$deps/apt"
  mkdir -p "$apt/lists/partial" "$deps/src"
  printf '%s\n' \
    'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main' \
    >"$apt/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$apt/lists" -o APT::Sandbox::User=root)
  apt-get "${opts[@]}" update -qq
  (cd "$deps/src" && apt-get "${opts[@]}" source -qq scite=5.3.3-1 sqlite3=3.40.1-2+deb12u2 >/dev/null 2>"$deps/src/source.log") || {
    # The exact revisions may have been superseded; take what bookworm serves now.
    (cd "$deps/src" && apt-get "${opts[@]}" source -qq scite sqlite3 >/dev/null 2>>"$deps/src/source.log")
  }
}

if [[ ! -f "$deps/src/.fetched" ]]; then
  log "fetching Scintilla and SQLite sources from Debian"
  rm -rf "$deps/src"
  fetch_sources
  touch "$deps/src/.fetched"
fi

scintilla_dir=$(find "$deps/src" -maxdepth 2 -type d -name scintilla -path '*scite-*' | head -n 1)
sqlite_src=$(find "$deps/src" -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
[[ -n "$scintilla_dir" && -f "$scintilla_dir/call/ScintillaCall.cxx" ]] || { log "Scintilla sources missing"; exit 1; }
[[ -n "$sqlite_src" && -x "$sqlite_src/configure" ]] || { log "SQLite sources missing"; exit 1; }
ln -sfn "$scintilla_dir" "$deps/scintilla"

# --- SQLite amalgamation ------------------------------------------------------
if [[ ! -f "$deps/sqlite/sqlite3.c" ]]; then
  log "building the SQLite amalgamation"
  rm -rf "$deps/sqlite-build" "$deps/sqlite"
  mkdir -p "$deps/sqlite-build" "$deps/sqlite"
  (cd "$deps/sqlite-build" && "$sqlite_src/configure" --disable-tcl >configure.log 2>&1 &&
     make -j"$(nproc)" sqlite3.c >make.log 2>&1)
  cp "$deps/sqlite-build/sqlite3.h" "$deps/sqlite-build/sqlite3ext.h" "$deps/sqlite/"
  cp "$deps/sqlite-build/sqlite3.c" "$deps/sqlite/sqlite3.c.part"
  mv "$deps/sqlite/sqlite3.c.part" "$deps/sqlite/sqlite3.c"
fi

[[ -f /usr/src/googletest/CMakeLists.txt ]] || { log "GoogleTest sources missing"; exit 1; }
