#!/usr/bin/env bash
# scripts/demo.sh [NAME | PATH]: builds the ledrix command and computes a
# return: NAME of one in examples/ (with or without .json), or the PATH of a
# return file of your own. Without one, the bundled example: a semi-weekly
# Form 941 quarter with late deposits.
set -euo pipefail
LEDRIX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$LEDRIX_ROOT/scripts/common.sh"

# The return file that NAME or PATH names, checked before anything is built.
return_file() {
  local given=$1 name=${1%.json}
  if [ -f "$given" ]; then
    echo "$given"
  elif [ -f "$LEDRIX_ROOT/examples/$name.json" ]; then
    echo "$LEDRIX_ROOT/examples/$name.json"
  else
    echo "demo.sh: $given is neither a file nor a return in examples/:" >&2
    (cd "$LEDRIX_ROOT/examples" && ls -- *.json | sed 's/\.json$//; s/^/  /') >&2
    return 2
  fi
}

file=$(return_file "${1:-semiweekly-late-deposits}")
ledrix_install_packages
ledrix_build "$LEDRIX_ROOT/build"
"$LEDRIX_ROOT/build/cli/ledrix" compute "$file"
