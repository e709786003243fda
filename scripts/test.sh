#!/usr/bin/env bash
# Builds Ledrix and runs every test. With --sanitize, builds with
# AddressSanitizer (leak checking included) and UndefinedBehaviorSanitizer
# in build-asan/ and runs the whole suite there. With --tsan, builds the
# tests that run the library on several threads at once (label "threads")
# with ThreadSanitizer in build-tsan/ and runs them.
set -euo pipefail
LEDRIX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$LEDRIX_ROOT/scripts/common.sh"

dir=$LEDRIX_ROOT/build
options=()
targets=()
labels=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=$LEDRIX_ROOT/build-asan
  options=(-DLEDRIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
elif [ "${1:-}" = "--tsan" ]; then
  dir=$LEDRIX_ROOT/build-tsan
  options=(-DLEDRIX_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo)
  targets=(--target batch_test --target rewrite_faults_test)
  labels=(-L threads)
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
fi

ledrix_install_packages
ledrix_build "$dir" "${options[@]}" "${targets[@]}"
cd "$dir"
ctest --output-on-failure -j"$(nproc)" "${labels[@]}"
