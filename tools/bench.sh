#!/usr/bin/env bash
# `make bench`: builds the benchmarks in their own Release trees (native
# -O2 -g -m32 without sanitizers, NDEBUG left off because platform_native.cpp
# needs assert.h's declarations; and win32) and runs them, each printing its
# figures beside their baselines, measured in the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$root/build/bench-native
win32=$root/build/bench-win32
jobs=${JOBS:-2}

# RapidJSON is only needed here, so it is installed here.
if ! dpkg-query -W -f='${Status}' rapidjson-dev 2>/dev/null | grep -q 'install ok installed'; then
  if [ "$(id -u)" -ne 0 ]; then echo "bench: rapidjson-dev is missing; run as root" >&2; exit 1; fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends rapidjson-dev >/dev/null
fi

[ -f "$native/CMakeCache.txt" ] || cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -g" -DLUMBRA_BENCH=ON >/dev/null
[ -f "$win32/CMakeCache.txt" ] || cmake -S "$root" -B "$win32" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DLUMBRA_BENCH=ON >/dev/null
cmake --build "$native" -j "$jobs" --target json_bench load_split_bench native_dispatch_bench property_rewrite_bench >/dev/null
cmake --build "$win32" -j "$jobs" --target Lumbra dispatch_bench load_bench >/dev/null

"$native/bench/json_bench"
echo
"$native/bench/load_split_bench"
echo
"$native/bench/native_dispatch_bench"
echo
"$native/bench/property_rewrite_bench"
echo

export WINEPREFIX=$win32/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"; DISPLAY= wineboot -i >/dev/null 2>&1; wineserver -w
fi
wineserver -p 2>/dev/null || true  # one server for both programs
status=0
(cd "$win32" && wine ./dispatch_bench.exe && echo && wine ./load_bench.exe) || status=$?
wineserver -k
exit $status
