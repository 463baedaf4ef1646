#!/usr/bin/env bash
# Fails when a room of the program includes a room above it: calls go downwards only.
#   bash scripts/check-rooms.sh [source root]   (default: this checkout)
# Rooms of one level (the shell's windows that know nothing of each other) may not include each other
# either; resources/ is open to every room.
set -euo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
app="$root/apps/lanternquill"

# Level of each room, lowest first. The start-up files at the top of apps/lanternquill/ are above all,
# except the few the main window leans on too (the "launch" library: command line, timing marks, ...).
declare -A level=(
  [platform]=1 [store]=2 [editor]=3 [textfiles]=3 [workspace]=4 [completion]=5 [launch]=6
  [ui/gdi]=7 [ui/frame]=7 [ui/dialogs]=8
  [ui/status]=9 [ui/menus]=9 [ui/sidebar]=9 [ui/search]=9
  [ui/commands]=10 [ui/find]=11 [ui/main]=12 [top]=13
)
launch=(LaunchOptions Bench StartupPaths DatabaseOpening StartupSettings SmokeCheck DarkMode InstanceMutex)

# The room of a file at the top of apps/lanternquill/.
top_room() {
  local stem
  stem=$(basename "$1")
  stem=${stem%.*}
  local name
  for name in "${launch[@]}"; do [[ "$stem" == "$name" ]] && { echo launch; return; }; done
  echo top
}

# The files of a room.
room_files() {
  case $1 in
    launch | top)
      local file
      for file in "$app"/*.cpp "$app"/*.h; do [[ "$(top_room "$file")" == "$1" ]] && echo "$file"; done
      ;;
    *) find "$app/$1" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) ;;
  esac
}

failures=0
for room in "${!level[@]}"; do
  [[ "$room" == launch || "$room" == top || -d "$app/$room" ]] ||
    { printf 'missing room: %s\n' "$room"; failures=$((failures + 1)); continue; }
  while IFS= read -r file; do
    while IFS= read -r target; do
      [[ "$target" == resources/* ]] && continue
      used=""
      if [[ "$target" == ui/*/* ]]; then used=${target%/*}; elif [[ "$target" == */* ]]; then used=${target%%/*}; fi
      # Headers of the start-up files sit at the top and carry no folder.
      if [[ -z "$used" ]]; then
        [[ -f "$(dirname "$file")/$target" ]] && continue
        [[ -f "$app/$target" ]] && used=$(top_room "$target")
      fi
      [[ -z "$used" || "$used" == "$room" ]] && continue
      used_level=${level[$used]:-99}
      if ((used_level >= ${level[$room]})); then
        printf '%s includes %s (%s may not lean on %s)\n' "${file#"$root"/}" "$target" "$room" "$used"
        failures=$((failures + 1))
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done < <(room_files "$room")
done

# Nothing is left at the top of ui/: every file has a room.
while IFS= read -r stray; do
  printf '%s has no room under ui/\n' "${stray#"$root"/}"
  failures=$((failures + 1))
done < <(find "$app/ui" -maxdepth 1 -type f)

if ((failures)); then
  printf 'rooms: %d include(s) against the order of rooms\n' "$failures"
  exit 1
fi
printf 'rooms: every include leans downwards\n'
