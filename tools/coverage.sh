#!/usr/bin/env bash
# Line coverage of the SDK (lib/shared) from the native unit tests: a clang
# build in build/coverage with source-based coverage on top of the native
# sanitizers, every native test run, the profiles merged, a per-file report
# printed, and every uncovered line listed in build/coverage/uncovered.txt.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build/coverage"
JOBS="${JOBS:-2}"
PROFDATA="$(command -v llvm-profdata-14 || command -v llvm-profdata)"
COV="$(command -v llvm-cov-14 || command -v llvm-cov)"
flags="-fprofile-instr-generate -fcoverage-mapping"

bits=32
[ "${NATIVE32:-yes}" = yes ] || { bits=64; echo "coverage: ${RUN32_WHY:-32-bit programs cannot run here}: measured in 64 bits"; }
[ $bits = 64 ] && BUILD="${BUILD}64"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DLUMBRA_NATIVE_BITS=$bits \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate" >/dev/null
cmake --build "$BUILD" -j "$JOBS" >"$BUILD/build.log" 2>&1 ||
  { tail -n 40 "$BUILD/build.log" >&2; exit 1; }

rm -rf "$BUILD/profiles"
mkdir -p "$BUILD/profiles"
# A failing test still counts its coverage; the run's status is reported after.
status=0
(cd "$BUILD" && LLVM_PROFILE_FILE="$BUILD/profiles/%p.profraw" \
   ctest -j "$JOBS" --output-on-failure >"$BUILD/ctest.log" 2>&1) || status=$?
[ $status -eq 0 ] || { tail -n 40 "$BUILD/ctest.log" >&2; echo "coverage: some tests failed" >&2; }
"$PROFDATA" merge -sparse "$BUILD"/profiles/*.profraw -o "$BUILD/tests.profdata"

# Every test program registered with CTest is one object of the report.
objects=()
while read -r program; do
  [ -x "$program" ] && objects+=(-object "$program")
done < <(cd "$BUILD" && ctest --show-only=json-v1 |
         python3 -c 'import json,sys; [print(t["command"][0]) for t in json.load(sys.stdin)["tests"]]')

sources=("$ROOT/lib/shared")
"$COV" report "${objects[@]:1}" -instr-profile="$BUILD/tests.profdata" "${sources[@]}" \
  | sed "s|$ROOT/||" | tee "$BUILD/report.txt"

"$COV" export "${objects[@]:1}" -instr-profile="$BUILD/tests.profdata" -format=lcov \
  "${sources[@]}" >"$BUILD/tests.lcov"
# file:line: text for every line that has code and was never run.
python3 - "$ROOT" "$BUILD/tests.lcov" >"$BUILD/uncovered.txt" <<'PY'
import sys
root, lcov = sys.argv[1] + "/", sys.argv[2]
lines, name = [], ""
for record in open(lcov):
    if record.startswith("SF:"):
        path = record[3:].strip()
        lines = open(path, errors="replace").read().split("\n")
        name = path.replace(root, "", 1)
    elif record.startswith("DA:"):
        number, count = record[3:].split(",")[:2]
        if int(count) == 0:
            print(f"{name}:{number}: {lines[int(number) - 1].strip()}")
PY
# A native source that no test program links appears in no report at all.
(cd "$BUILD/lib/shared" && find . -name '*.cpp.o' | sed 's|^\./CMakeFiles/[^/]*/||; s|\.o$||') | sort -u |
  while read -r source; do
    grep -q "^SF:$ROOT/lib/shared/$source\$" "$BUILD/tests.lcov" ||
      echo "coverage: lib/shared/$source is linked into no native test program"
  done | tee -a "$BUILD/uncovered.txt"
echo "coverage: $(grep -c ":[0-9]*: " "$BUILD/uncovered.txt") uncovered lines listed in ${BUILD#$ROOT/}/uncovered.txt"
exit $status
