#!/usr/bin/env bash
# Start-up of Wirlep against a floor: a bare Qt window of the same size and
# controls (bench/floor). Both run in a private Xvfb display, interleaved, and
# are timed from outside by wirlep_firstframe: from launch until the window
# shows its first painted frame (the X server reports damage and the window is
# no longer one colour), then until the process has exited after being asked
# to close the window, as a window manager asks. The peak resident memory and
# the processor time are the process's own (ru_maxrss, as /usr/bin/time -f %M
# gives it; ru_utime + ru_stime). Instructions from launch to exit, with the
# same close, come from Valgrind's callgrind.
#
# With --windows it times the Windows program and a floor built for Windows
# the same way (static and size-optimised), both from the
# build scripts/build-windows.sh left in build-windows/build, under Wine, in
# a Wine prefix of their own whose server keeps running between runs. There
# callgrind counts nothing: Valgrind does not follow a program into Wine.
#
# Usage: bench/startup.sh [build-dir] [runs]   (default: build, 15 runs)
#        bench/startup.sh --windows [build-dir] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
fail() {
  echo "startup.sh: $*" >&2
  exit 1
}
# The X display, ending what was started and Wine prefixes: shared with the tests.
# shellcheck source=SCRIPTDIR/../tests/common.sh
source tests/common.sh
windows=
if [ "${1:-}" = --windows ]; then
  windows=yes
  shift
fi
build=${1:-build}
runs=${2:-15}
callgrind_runs=3
[ -z "$windows" ] || callgrind_runs=0

probe=$build/bench/wirlep_firstframe
if [ -n "$windows" ]; then
  windows_build=build-windows/build
  [ -f "$windows_build/wirlep.exe" ] \
    || fail "$windows_build/wirlep.exe is missing; scripts/build-windows.sh makes it"
  cmake --build "$windows_build" --target wirlep_floor >/dev/null
  wirlep=$windows_build/wirlep.exe
  floor=$windows_build/bench/wirlep_floor.exe
else
  wirlep=$build/wirlep
  floor=$build/bench/wirlep_floor
fi
for program in "$wirlep" "$floor" "$probe"; do
  [ -x "$program" ] || fail "$program is missing; bench/run.sh builds it"
done
for tool in Xvfb xdotool valgrind ${windows:+wine wineserver}; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh)"
done

work=$(mktemp -d)
RUN=$work TIMEOUT_MS=10000 SCREEN=1280x1024 XVFB_PID=''
trap 'stop_wine; stop "$XVFB_PID"; rm -rf "$work"' EXIT

start_display
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Under Wine: both programs in one folder, beside the word lists, started
# through wine with a server that is up before the first run.
run=()
if [ -n "$windows" ]; then
  new_prefix "$work/wineprefix" "$work/wineboot.log"
  wineserver --persistent
  mkdir "$work/programs"
  cp "$wirlep" "$floor" "$windows_build"/*.txt "$work/programs/"
  wirlep=$work/programs/wirlep.exe
  floor=$work/programs/wirlep_floor.exe
  run=(wine)
fi

# One line per run: first frame (ms), exit (ms), peak memory (KiB),
# processor time (ms), title.
measure() {
  local out=$1
  shift
  local options=()
  [ "$1" = --exit-only ] && options=("$1") && shift
  if ! "$probe" --timeout 60 "${options[@]}" "${run[@]}" "$@" >>"$out" 2>>"$work/programs.log"; then
    tail -20 "$work/programs.log" >&2
    kill -0 "$XVFB_PID" 2>/dev/null || { echo "Xvfb has gone:" >&2; cat "$work/xvfb.log" >&2; }
    fail "measuring $* failed"
  fi
}

# Loads the programs and their libraries into the page cache first.
measure "$work/warmup" "$wirlep"
measure "$work/warmup" "$floor" --stay

echo "Timing $runs runs each, interleaved, on $DISPLAY ..."
for ((i = 1; i <= runs; ++i)); do
  if ((i % 2)); then
    measure "$work/wirlep" "$wirlep"
    measure "$work/floor" "$floor" --stay
  else
    measure "$work/floor" "$floor" --stay
    measure "$work/wirlep" "$wirlep"
  fi
  measure "$work/floor-self" --exit-only "$floor"
done

((callgrind_runs == 0)) || echo "Counting instructions with callgrind, $callgrind_runs runs each ..."
instructions() {
  local out=$1
  shift
  local file=$work/callgrind.out
  rm -f "$file"
  measure "$work/callgrind-times" valgrind --tool=callgrind --callgrind-out-file="$file" "$@"
  sed -n 's/^totals: *\([0-9]*\).*/\1/p' "$file" >>"$out"
}
for ((i = 1; i <= callgrind_runs; ++i)); do
  instructions "$work/wirlep-ir" "$wirlep"
  instructions "$work/floor-ir" "$floor" --stay
done
((callgrind_runs)) || echo 0 | tee "$work/wirlep-ir" >"$work/floor-ir"

# median FILE COLUMN
median() {
  awk -v c="$2" '{ print $c }' "$1" | sort -g | awk '
    { v[NR] = $1 }
    END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
millions() { awk -v n="$1" 'BEGIN { printf "%.1f", n / 1e6 }'; }

w_frame=$(median "$work/wirlep" 1)
f_frame=$(median "$work/floor" 1)
w_exit=$(median "$work/wirlep" 2)
f_exit=$(median "$work/floor" 2)
w_rss=$(median "$work/wirlep" 3)
f_rss=$(median "$work/floor" 3)
w_cpu=$(median "$work/wirlep" 4)
f_cpu=$(median "$work/floor" 4)
self_exit=$(median "$work/floor-self" 2)
w_ir=$(median "$work/wirlep-ir" 1)
f_ir=$(median "$work/floor-ir" 1)

echo
counted=""
((callgrind_runs == 0)) || counted="; instructions: of $callgrind_runs"
echo "| Start-up (median of $runs$counted) | Wirlep | floor | Wirlep / floor |"
echo "| --- | ---: | ---: | ---: |"
echo "| launch to first painted frame (ms) | $w_frame | $f_frame | $(ratio "$w_frame" "$f_frame") |"
echo "| launch to exit, closed after that frame (ms) | $w_exit | $f_exit | $(ratio "$w_exit" "$f_exit") |"
echo "| processor time, user + system, launch to exit (ms) | $w_cpu | $f_cpu | $(ratio "$w_cpu" "$f_cpu") |"
echo "| peak resident memory (MiB) | $(mib "$w_rss") | $(mib "$f_rss") | $(ratio "$w_rss" "$f_rss") |"
((callgrind_runs == 0)) \
  || echo "| instructions, launch to exit (millions) | $(millions "$w_ir") | $(millions "$f_ir") | $(ratio "$w_ir" "$f_ir") |"
echo
echo "Check on the method: the floor quitting by itself right after its first frame exits"
echo "after $self_exit ms (median), against $f_frame ms for its first frame seen from outside."
