#!/usr/bin/env bash
# Runs every benchmark and prints the figures: the rules (bench_core) and
# start-up against a bare Qt window (bench/startup.sh). Nothing is judged.
# Usage: bench/run.sh [build-dir]   (default: build; configured and built as needed)
# WIRLEP_BENCH_RUNS sets the start-up runs per program (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
elif ! grep -q '^WIRLEP_BENCH:BOOL=ON' "$build/CMakeCache.txt"; then
  cmake "$build" -DWIRLEP_BENCH=ON
fi
cmake --build "$build" --target wirlep bench_core wirlep_floor wirlep_firstframe

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
cpu=$(lscpu | sed -n 's/^Model name: *//p')
echo
echo "# Wirlep benchmarks, $(date +%Y-%m-%d), $cpu, $(nproc) CPUs, ${build_type:-no} build"
echo

csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
"$build/bench/bench_core" --benchmark_out="$csv" --benchmark_out_format=csv
echo
echo "| Rules (Google Benchmark) | wall time | processor time | note |"
echo "| --- | ---: | ---: | --- |"
# Names and labels hold no commas; times are in nanoseconds.
awk -F, '/^"/ {
  gsub(/"/, "")
  if ($9 == "true") { printf "| %s | failed | | %s |\n", $1, $10; next }
  printf "| %s | %.2f µs | %.2f µs | %s |\n", $1, $3 / 1000, $4 / 1000, $8
}' "$csv"
echo

bench/startup.sh "$build" "${WIRLEP_BENCH_RUNS:-15}"
