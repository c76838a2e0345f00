#!/usr/bin/env bash
# `make bench`: builds the benchmarks in their own Release trees (native
# -O2 -g without sanitizers, NDEBUG left off because platform_native.cpp
# needs assert.h's declarations; and a Windows tree) and runs them, each
# printing its figures beside their baselines, measured in the same run.
# 32-bit where this machine runs 32-bit programs (NATIVE32, RUN32 from
# tools/probe-32), else 64-bit; the figures say which.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bits=32 windows=win32 toolchain=mingw-i686
[ "${NATIVE32:-no}" = yes ] || bits=64
[ "${RUN32:-no}" = yes ] || { windows=win64; toolchain=mingw-x86_64; }
[ $bits = 32 ] && [ $windows = win32 ] ||
  echo "bench: ${RUN32_WHY:-32-bit programs cannot run here}: 64-bit figures (native -m$bits, $windows)"
native=$root/build/bench-native$bits
win=$root/build/bench-$windows
jobs=${JOBS:-2}

# RapidJSON is only needed here, so it is installed here.
if ! dpkg-query -W -f='${Status}' rapidjson-dev 2>/dev/null | grep -q 'install ok installed'; then
  if [ "$(id -u)" -ne 0 ]; then echo "bench: rapidjson-dev is missing; run as root" >&2; exit 1; fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends rapidjson-dev >/dev/null
fi

[ -f "$native/CMakeCache.txt" ] || cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -g" -DLUMBRA_BENCH=ON -DLUMBRA_NATIVE_BITS=$bits >/dev/null
[ -f "$win/CMakeCache.txt" ] || cmake -S "$root" -B "$win" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DLUMBRA_BENCH=ON >/dev/null
cmake --build "$native" -j "$jobs" --target json_bench load_split_bench native_dispatch_bench property_rewrite_bench >/dev/null
cmake --build "$win" -j "$jobs" --target Lumbra dispatch_bench load_bench >/dev/null

"$native/bench/json_bench"
echo
"$native/bench/load_split_bench"
echo
"$native/bench/native_dispatch_bench"
echo
"$native/bench/property_rewrite_bench"
echo

# The benchmarks' own prefix, one server for both programs.
export WINEPREFIX=$win/wineprefix
"$root/tools/wine-run" --$windows --boot
"$root/tools/wine-run" --$windows --server-start
status=0
(cd "$win" && "$root/tools/wine-run" ./dispatch_bench.exe && echo && "$root/tools/wine-run" ./load_bench.exe) || status=$?
"$root/tools/wine-run" --$windows --server-stop
exit $status
