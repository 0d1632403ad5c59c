#!/usr/bin/env bash
# Builds and runs the continuous-capture benchmark on the authored disc.
#   bench/run_capture_bench.sh [seconds]     (default 20 s per format)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [[ ! -f "$build/build.ninja" && ! -f "$build/Makefile" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target bench_capture
fixtures=$(readlink -f "$build")/fixtures
[[ -f "$fixtures/movie.iso" ]] || bash tests/fixtures/make_dvd.sh "$fixtures"
export STILLBECK_FIXTURE_DIR=$fixtures
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
bench=$(find "$build" -type f -name bench_capture -perm -u+x | head -n 1)
exec "$bench" "$@"
