#!/usr/bin/env bash
# `make bench`: builds the benchmarks in their own Release trees (native
# -O2 -g without sanitizers, NDEBUG left off because platform_native.cpp
# needs assert.h's declarations, and not position-independent, as the
# plug-in is not; and a Windows tree) and runs them. Every
# benchmark prints rows of one table (figure, ours, baseline, ratio, target,
# met, build), measured in the same run; this prints the table once, under a
# line naming the machine.
# Natively -m32 where this machine runs 32-bit programs (NATIVE32 from
# tools/probe-32), and dispatch -m64 beside it; else -m64 only. Windows:
# win32 under Wine where Wine's 32-bit part runs (RUN32), else win64.
# Dispatch (per call) and the JSON reader against RapidJSON (per input byte)
# are also counted in instructions under callgrind, when valgrind is present:
# those figures repeat where times on a busy machine do not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bits=32 windows=win32 toolchain=mingw-i686
[ "${NATIVE32:-no}" = yes ] || bits=64
[ "${RUN32:-no}" = yes ] || { windows=win64; toolchain=mingw-x86_64; }
[ $bits = 32 ] && [ $windows = win32 ] ||
  echo "bench: ${RUN32_WHY:-32-bit programs cannot run here}: native -m$bits, $windows under Wine"
native_bits=$bits
[ $bits = 32 ] && native_bits="32 64"
win=$root/build/bench-$windows
jobs=${JOBS:-2}

# RapidJSON is only needed here, so it is installed here.
if ! dpkg-query -W -f='${Status}' rapidjson-dev 2>/dev/null | grep -q 'install ok installed'; then
  if [ "$(id -u)" -ne 0 ]; then echo "bench: rapidjson-dev is missing; run as root" >&2; exit 1; fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends rapidjson-dev >/dev/null
fi

for b in $native_bits; do
  native=$root/build/bench-native$b
  cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -g -fno-pie" \
    -DCMAKE_EXE_LINKER_FLAGS=-no-pie -DLUMBRA_BENCH=ON -DLUMBRA_NATIVE_BITS=$b >/dev/null
  targets=native_dispatch_bench
  [ $b = $bits ] && targets="json_bench load_split_bench native_dispatch_bench property_rewrite_bench"
  cmake --build "$native" -j "$jobs" --target $targets >/dev/null
done
[ -f "$win/CMakeCache.txt" ] || cmake -S "$root" -B "$win" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DLUMBRA_BENCH=ON >/dev/null
cmake --build "$win" -j "$jobs" --target Lumbra dispatch_bench load_bench >/dev/null

# Instruction counts of program $1: each measured piece alone, read back from
# the dumps callgrind writes.
instructions() {
  command -v valgrind >/dev/null || { echo "bench: valgrind is missing: no instruction counts" >&2; return 0; }
  local dumps
  dumps=$(mktemp -d)
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$dumps/counts" \
    "$1" --instructions "$dumps/counts" 2>/dev/null
  rm -rf "$dumps"
}

echo "make bench: $(date -u '+%Y-%m-%d %H:%M UTC'), $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), \
$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
{
  native=$root/build/bench-native$bits
  "$native/bench/json_bench"
  instructions "$native/bench/json_bench"
  "$native/bench/load_split_bench"
  "$native/bench/property_rewrite_bench"
  for b in $native_bits; do
    "$root/build/bench-native$b/bench/native_dispatch_bench"
    instructions "$root/build/bench-native$b/bench/native_dispatch_bench"
  done
  # The benchmarks' own prefix, one server for both programs.
  export WINEPREFIX=$win/wineprefix
  "$root/tools/wine-run" --$windows --boot
  "$root/tools/wine-run" --$windows --server-start
  (cd "$win" && "$root/tools/wine-run" ./dispatch_bench.exe && "$root/tools/wine-run" ./load_bench.exe) || status=$?
  "$root/tools/wine-run" --$windows --server-stop
  exit $status
} | awk '/^figure / { if (header++) next } { print }'
