#!/usr/bin/env bash
# Makes what a user downloads: an optimised, stripped, self-contained dist/lanternquill.exe, built in
# a build folder of its own (build-release/) so the test build is left as it is.
# bash scripts/release.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${LQ_RELEASE_BUILD_DIR:-$root/build-release}

bash "$root/scripts/setup.sh"
# Release with -O2 and no debug information; the tests are not built here.
cmake -S "$root" -B "$build" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null
cmake --build "$build" -j "$(nproc)" --target lanternquill

mkdir -p "$root/dist"
x86_64-w64-mingw32-strip -o "$root/dist/lanternquill.exe.tmp" "$build/bin/lanternquill.exe"
mv -f "$root/dist/lanternquill.exe.tmp" "$root/dist/lanternquill.exe"
bash "$root/scripts/check-exe.sh" "$root/dist/lanternquill.exe"
echo "$root/dist/lanternquill.exe: $(stat -c %s "$root/dist/lanternquill.exe") bytes"
