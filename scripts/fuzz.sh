#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UBSan in
# build-fuzz/ and runs one target or all of them, one after another:
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]      (default: all, 60 seconds each)
#
# Each run starts from the target's corpus in tests/fuzz/TARGET/ (the return
# file's also from examples/) with its dictionary, when it has one; what the
# fuzzer adds stays in build-fuzz/corpus/TARGET/. Exits non-zero when any
# target finds a crash, a hang (10 s for one input), a leak, memory beyond
# 2 GB or a broken check; the input is in build-fuzz/findings/TARGET/, to be
# fixed and then added to tests/fuzz/TARGET/, which every test run replays.
# LEDRIX_FUZZ_SEED=N fixes the fuzzer's random seed, so that a run can be
# repeated (CI's is fixed; a finding there must not depend on the draw).
set -euo pipefail
LEDRIX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$LEDRIX_ROOT/scripts/common.sh"

TARGETS=(return_file csv_events date_parse holiday_file rate_file report_fields)
which=${1:-all}
seconds=${2:-60}
if [ "$which" = all ]; then
  selected=("${TARGETS[@]}")
elif [[ " ${TARGETS[*]} " == *" $which "* ]]; then
  selected=("$which")
else
  echo "fuzz.sh: unknown target '$which' (one of: ${TARGETS[*]}, all)" >&2
  exit 64
fi
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || { echo "fuzz.sh: SECONDS must be a whole number" >&2; exit 64; }

LEDRIX_PACKAGES+=(clang-14 libclang-rt-14-dev)
ledrix_install_packages
dir=$LEDRIX_ROOT/build-fuzz
compiler=$(command -v clang++ || command -v clang++-14)
CXX=$compiler ledrix_build "$dir" --target fuzz_targets -DLEDRIX_FUZZ=ON \
  -DLEDRIX_BUILD_TESTS=OFF -DLEDRIX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The holiday and rate files the targets write go to a folder of their own, in
# memory where there is one (the rewrites flush to disk on every input).
scratch=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/ledrix-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export UBSAN_OPTIONS=print_stacktrace=1

failed=0
printf '%-14s %8s %12s %10s %8s  %s\n' target seconds executions "per second" corpus result
for target in "${selected[@]}"; do
  corpus=$dir/corpus/$target findings=$dir/findings/$target log=$dir/logs/$target.log
  mkdir -p "$corpus" "$findings" "$dir/logs"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/")
  dictionary=$LEDRIX_ROOT/tests/fuzz/$target.dict
  [ -f "$dictionary" ] && options+=(-dict="$dictionary")
  [ -n "${LEDRIX_FUZZ_SEED:-}" ] && options+=(-seed="$LEDRIX_FUZZ_SEED")
  seeds=("$LEDRIX_ROOT/tests/fuzz/$target")
  [ "$target" = return_file ] && seeds+=("$LEDRIX_ROOT/examples")
  result=clean
  AppData=$scratch/$target "$dir/fuzz/fuzz_$target" "${options[@]}" "$corpus" "${seeds[@]}" \
    >"$log" 2>&1 || { result="FOUND: $(ls -t "$findings" | head -1) (see $log)"; failed=1; }
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  printf '%-14s %8s %12s %10s %8s  %s\n' "$target" "$seconds" "${executions:-?}" "${rate:-?}" \
    "$(ls "$corpus" | wc -l)" "$result"
done
exit $failed
