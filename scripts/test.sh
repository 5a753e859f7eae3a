#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite through CTest.
# WIRLEP_PRESET picks the build: default, ci (warnings are errors) or asan.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${WIRLEP_PRESET:-default}
scripts/setup.sh "$preset"
ctest --preset "$preset" --parallel 2
