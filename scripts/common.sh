# Shared by the scripts: install what the build needs, then configure and build.
# shellcheck shell=bash

LEDRIX_PACKAGES=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
                 nlohmann-json3-dev libcli11-dev)

# Installs the Debian packages that are missing (through sudo when not root).
ledrix_install_packages() {
  local missing=()
  for pkg in "${LEDRIX_PACKAGES[@]}"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# ledrix_build DIR [cmake options...] [--target NAME]: configures and builds
# into DIR (only NAME and what it needs, when given). The build's output goes
# to DIR/build.log and one line says so; when the build fails, the end of the
# log is shown.
ledrix_build() {
  local dir=$1
  shift
  local options=() target=()
  while [ $# -gt 0 ]; do
    if [ "$1" = "--target" ]; then
      target+=(--target "$2")
      shift 2
    else
      options+=("$1")
      shift
    fi
  done
  mkdir -p "$dir"
  local log=$dir/build.log
  echo "Building Ledrix in ${dir#"$LEDRIX_ROOT/"} (log: ${log#"$LEDRIX_ROOT/"})"
  if ! { cmake -S "$LEDRIX_ROOT" -B "$dir" "${options[@]}" &&
    cmake --build "$dir" -j"$(nproc)" "${target[@]}"; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "The build failed; the whole log is $log" >&2
    return 1
  fi
}
