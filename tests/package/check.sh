#!/usr/bin/env bash
# Installs the built library into a temporary prefix, then builds and runs a
# host against it, once through find_package(Ledrix) and once through
# pkg-config.
set -euo pipefail
build=$1
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$source_dir" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
"$work/consumer/consumer" | grep -q "Ledrix Version 2012.2 01-15-05 Sat"
LD_LIBRARY_PATH="$work/prefix/lib:$work/prefix/lib64:$work/prefix/lib/x86_64-linux-gnu" "$work/consumer/consumer_shared" \
  | grep -q "Ledrix Version 2012.2"

pc_dir=$(dirname "$(find "$work/prefix" -name ledrix.pc | head -n 1)")
lib_dir=$(dirname "$pc_dir")
export PKG_CONFIG_PATH=$pc_dir
# shellcheck disable=SC2046
g++ "$source_dir/main.cpp" -o "$work/pc_consumer" \
  $(pkg-config --define-variable=prefix="$work/prefix" --cflags --libs ledrix)
LD_LIBRARY_PATH=$lib_dir "$work/pc_consumer" | grep -q "Ledrix Version 2012.2"
echo "installed package: find_package and pkg-config both work"
