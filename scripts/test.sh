#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite through CTest.
# WIRLEP_PRESET picks the build: default, ci (warnings are errors, every test
# required) or asan. The Windows program is built too, for the windows label
# (the first time with its Qt, 20 to 45 minutes; WIRLEP_SKIP_WINDOWS=1 leaves
# it out, and the default preset then skips those tests). The sanitizers do
# not reach it, so the asan preset neither builds nor plays it.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${WIRLEP_PRESET:-default}
scripts/setup.sh "$preset"
if [ "$preset" != asan ] && [ -z "${WIRLEP_SKIP_WINDOWS:-}" ]; then
  # Only the ci preset requires it; elsewhere a failed build skips its tests.
  scripts/build-windows.sh || [ "$preset" != ci ] \
    || { echo "test.sh: the Windows build failed" >&2; exit 1; }
fi
ctest --preset "$preset" --parallel 2
