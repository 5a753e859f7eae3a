#!/usr/bin/env bash
# Installs what building, playing and testing Wirlep need, then configures and
# builds. Packages already on the machine are left alone.
# Usage: scripts/setup.sh [preset [target]]
#   preset: default, ci or asan (see CMakePresets.json); target: build just that one
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
target=()
[ -n "${2:-}" ] && target=(--target "$2")

packages=(
  # building
  build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev
  # the fonts the windows fall back on
  fonts-dejavu-core fonts-liberation2
  # the word lists are checked against Debian's Dutch dictionary
  wdutch
  # the end-to-end tests play the real program in a virtual X display
  xvfb xauth xdotool x11-utils imagemagick libx11-dev
  # packaging: desktop file and AppStream checks, the Debian package, Windows resources
  desktop-file-utils appstream dpkg-dev file binutils-mingw-w64-x86-64
  # fuzzing (clang with libFuzzer), Valgrind, and the benchmarks
  clang libclang-rt-dev valgrind libbenchmark-dev libxdamage-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  # A release without one of these (an older Ubuntu, say) still gets the rest;
  # the build leaves out, with a warning, the tests that need a skipped package
  # (the ci preset stops instead).
  known=()
  for p in "${missing[@]}"; do
    if apt-cache show "$p" >/dev/null 2>&1; then
      known+=("$p")
    else
      echo "setup.sh: no package $p in this release; skipping it" >&2
    fi
  done
  echo "Installing: ${known[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${known[@]}"
fi

cmake --preset "$preset"
cmake --build --preset "$preset" "${target[@]}"
