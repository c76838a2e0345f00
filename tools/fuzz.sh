#!/usr/bin/env bash
# Builds the libFuzzer targets in build/fuzz (clang++, ASan+UBSan; -m32, or
# -m64 where this machine cannot run 32-bit programs: NATIVE32 from tools/probe-32),
# replays every recorded finding in fuzz/regressions/<target>/, then fuzzes
# each target for FUZZ_SECONDS (default 10) from its seed corpus in
# fuzz/corpus/<target>/, and with the properties target runs the model test
# of saved property values as long from a new seed. Fails on the first
# finding; a new finding is left in build/fuzz/findings/<target>/ to be
# turned into a regression input (a model finding names its seed).
#   tools/fuzz.sh [target ...]     (default: every target)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build/fuzz"
SECONDS_EACH="${FUZZ_SECONDS:-10}"
JOBS="${JOBS:-2}"
ALL_TARGETS=(json_reader sdk_construction dispatch properties)

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${ALL_TARGETS[@]}")
# A target whose source is not there yet is skipped, not failed.
present=()
for t in "${targets[@]}"; do
  if [ -f "$ROOT/fuzz/${t}_fuzzer.cpp" ]; then present+=("$t"); else echo "fuzz: no target $t, skipped"; fi
done

# Assertions stay on (Debug), with enough optimisation for a useful speed.
bits=32
[ "${NATIVE32:-yes}" = yes ] || { bits=64; echo "fuzz: ${RUN32_WHY:-32-bit programs cannot run here}: fuzzing 64-bit code"; }
[ $bits = 64 ] && BUILD="${BUILD}64"
cmake -S "$ROOT" -B "$BUILD" -DLUMBRA_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug -DLUMBRA_NATIVE_BITS=$bits \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "-DCMAKE_C_FLAGS_DEBUG=-g -O1" "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" >/dev/null
targets=("${present[@]/%/_fuzzer}")
[[ " ${present[*]} " == *" properties "* ]] && targets+=(property_storage_tests)
cmake --build "$BUILD" -j "$JOBS" --target "${targets[@]}" >"$BUILD/build.log" 2>&1 ||
  { tail -n 40 "$BUILD/build.log" >&2; exit 1; }

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

for t in "${present[@]}"; do
  exe="$BUILD/fuzz/${t}_fuzzer"
  regressions="$ROOT/fuzz/regressions/$t"
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    echo "fuzz: $t: replaying $(ls "$regressions" | wc -l) recorded findings"
    "$exe" -runs=1 -timeout=10 "$regressions"/* >"$BUILD/$t.replay.log" 2>&1 || {
      cat "$BUILD/$t.replay.log" >&2; echo "fuzz: $t: a recorded finding fails again" >&2; exit 1; }
  fi
  # New inputs go to the working corpus under build/, never to the seeds.
  work="$BUILD/corpus/$t"
  findings="$BUILD/findings/$t"
  mkdir -p "$work" "$findings"
  echo "fuzz: $t: ${SECONDS_EACH}s"
  if ! "$exe" -max_total_time="$SECONDS_EACH" -timeout=10 -print_final_stats=1 -max_len=8192 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" "$work" "$ROOT/fuzz/corpus/$t" >"$BUILD/$t.log" 2>&1; then
    tail -n 60 "$BUILD/$t.log" >&2
    echo "fuzz: $t: finding saved in $findings/" >&2
    exit 1
  fi
  grep -E 'stat::number_of_executed_units|stat::new_units_added' "$BUILD/$t.log" | sed "s/^/fuzz: $t: /"
done
# With the properties target, the model of saved property values for as
# long, from a new seed each run.
if [[ " ${present[*]} " == *" properties "* ]]; then
  model="$BUILD/tests/unit/property_storage/property_storage_tests"
  seed=$(( $(date +%s) % 1000000007 ))
  echo "fuzz: property model: ${SECONDS_EACH}s, seed $seed"
  if ! LUMBRA_MODEL_SECONDS="$SECONDS_EACH" LUMBRA_MODEL_SEED="$seed" "$model" \
      --gtest_filter='Evolution.ModelOfEditsSavesLoadsAndEvolutions' >"$BUILD/model.log" 2>&1; then
    tail -n 60 "$BUILD/model.log" >&2
    echo "fuzz: property model: finding with seed $seed (LUMBRA_MODEL_SEED repeats it)" >&2
    exit 1
  fi
  grep '^model' "$BUILD/model.log" | sed 's/^/fuzz: property /'
fi
echo "fuzz: no findings"
