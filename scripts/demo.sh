#!/usr/bin/env bash
# Builds the ledrix command and computes the bundled example return:
# a semi-weekly Form 941 quarter with late deposits.
set -euo pipefail
LEDRIX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$LEDRIX_ROOT/scripts/common.sh"

ledrix_install_packages
ledrix_build "$LEDRIX_ROOT/build"
"$LEDRIX_ROOT/build/cli/ledrix" compute "$LEDRIX_ROOT/examples/${1:-semiweekly-late-deposits.json}"
