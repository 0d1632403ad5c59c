#!/usr/bin/env bash
# Builds and runs the benchmark that measures the program from outside, as a desktop sees it:
# start-up to the main window mapped against an empty Qt window, and playback CPU in the window
# and in full screen against the bare libVLC player. It runs on its own X server (Xvfb at
# 1280x1024, with openbox managing the windows) unless OUTSIDE_DISPLAY names one to use.
#   bench/run_outside_bench.sh [seconds]     (default 12 s of playback per run)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [[ ! -f "$build/build.ninja" && ! -f "$build/Makefile" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target stillbeck bench_outside bare_player empty_qt_window
fixtures=$(readlink -f "$build")/fixtures
[[ -f "$fixtures/shuttle.iso" ]] || bash tests/fixtures/make_dvd.sh "$fixtures"
export STILLBECK_FIXTURE_DIR=$fixtures
unset QT_QPA_PLATFORM

if [[ -n "${OUTSIDE_DISPLAY:-}" ]]; then
    DISPLAY=$OUTSIDE_DISPLAY exec "$build/bench/bench_outside" "$@"
fi
export build
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    openbox > /dev/null 2>&1 &
    wm=$!
    sleep 1
    echo "# load: $(cut -d" " -f1-3 /proc/loadavg)"
    "$build/bench/bench_outside" "$@"
    echo "# load: $(cut -d" " -f1-3 /proc/loadavg)"
    kill $wm
' bench "$@"
