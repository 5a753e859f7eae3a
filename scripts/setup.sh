#!/usr/bin/env bash
# Installs what building, playing and testing Wirlep need, then configures and
# builds. Packages already on the machine are left alone.
# Usage: scripts/setup.sh [preset [target]]
#   preset: default, ci, asan or release (see CMakePresets.json); target: build
#   just that one (all: everything the preset builds), with no test tools
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
)
# Building one target (the game, say) needs no test tools.
((${#target[@]})) || packages+=(
  # the word lists are checked against Debian's Dutch dictionary
  wdutch
  # the end-to-end tests play the real program in a virtual X display, and
  # start it on Wayland in a headless weston
  xvfb xauth xdotool x11-utils imagemagick libx11-dev weston qt6-wayland
  # the screen reader's test: Orca reads the game on a private accessibility
  # bus, under a window manager, through speech-dispatcher
  orca speech-dispatcher at-spi2-core openbox dbus-daemon
  # packaging: desktop file and AppStream checks, the Debian package and
  # Debian's checks of it, Windows resources
  desktop-file-utils appstream dpkg-dev file lintian piuparts debootstrap binutils-mingw-w64-x86-64
  # the Windows program, played under Wine with Wine's own fonts, its
  # resources read back, its zip packed and its installer built (NSIS) and run
  wine wine64 fonts-wine icoutils zip unzip nsis
  # two releases compared byte for byte, the second in a Dutch locale that
  # localedef makes from the locales package's sources
  diffoscope-minimal locales
  # fuzzing (clang with libFuzzer), Valgrind, and the benchmarks: a build
  # without them leaves those out and says so (the ci preset stops instead);
  # Qt Svg, for regenerate-art to redraw the committed pictures
  --optional clang libclang-rt-dev valgrind libbenchmark-dev libxdamage-dev qt6-svg-dev
)
scripts/apt-install.sh "${packages[@]}"

cmake --preset "$preset"
cmake --build --preset "$preset" "${target[@]}"
