#!/usr/bin/env bash
# Checks a built lanternquill.exe as a user would receive it: it imports only Windows' own DLLs (no
# libstdc++, libgcc or winpthread DLL beside it) and carries the version resource.
# bash scripts/check-exe.sh EXE... [--optional EXE...]   (files after --optional are checked when they exist)
set -euo pipefail

# The system DLLs the program may import, lower case.
allowed=" advapi32.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll imm32.dll kernel32.dll msimg32.dll msvcrt.dll
  ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll "
allowed=" $(echo $allowed) "

status=0
optional=0
for exe in "$@"; do
  if [[ $exe == --optional ]]; then
    optional=1
    continue
  fi
  if [[ ! -f $exe && $optional -eq 1 ]]; then
    echo "$exe: not made, not checked"
    continue
  fi
  if [[ ! -f $exe ]]; then
    echo "$exe: missing"
    status=1
    continue
  fi
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  if [[ -z $dlls ]]; then
    echo "$exe: no imports found"
    status=1
  fi
  for dll in $dlls; do
    lower=${dll,,}
    if [[ $allowed != *" $lower "* ]]; then
      echo "$exe: imports $dll, which is no Windows system DLL"
      status=1
    fi
  done

  resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null || true)
  for expected in 'VERSIONINFO' 'LANGUAGE 17, 1' 'BLOCK "041104b0"' 'VALUE "ProductName", "Lanternquill"' \
    'VALUE "FileDescription"' 'VALUE "FileVersion"' 'VALUE "ProductVersion"' 'VALUE "Translation", 0x411, 1200'; do
    if ! grep -qiF "$expected" <<<"$resources"; then
      echo "$exe: version resource lacks: $expected"
      status=1
    fi
  done
  [[ $status -ne 0 ]] || echo "$exe: imports only system DLLs ($(echo $dlls | tr '\n' ' ')) and has its version resource"
done
exit $status
