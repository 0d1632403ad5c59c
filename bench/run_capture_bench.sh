#!/usr/bin/env bash
# Builds and runs the benchmarks on the authored disc: continuous capture in PNG and JPG against
# ffmpeg, then playback against a bare libVLC player, idle CPU and start-up time, then the time
# frame steps take.
#   bench/run_capture_bench.sh [seconds]     (default 20 s per capture format and playback run)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [[ ! -f "$build/build.ninja" && ! -f "$build/Makefile" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target stillbeck bench_capture bench_costs bench_steps bare_player
fixtures=$(readlink -f "$build")/fixtures
[[ -f "$fixtures/movie.iso" ]] || bash tests/fixtures/make_dvd.sh "$fixtures"
export STILLBECK_FIXTURE_DIR=$fixtures
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
echo "# load: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/bench_capture" "$@"
"$build/bench/bench_costs" "$@"
"$build/bench/bench_steps"
echo "# load: $(cut -d' ' -f1-3 /proc/loadavg)"
