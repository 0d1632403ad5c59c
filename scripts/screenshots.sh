#!/usr/bin/env bash
# Writes a PNG of every window and dialog (main window idle and playing, options, interval
# prompt, folder picker, about box, help window) at the design size and at scale factor 2:
#   bash scripts/screenshots.sh [output folder]      (default: build/screenshots)
# giving <output>/1x/*.png and <output>/2x/*.png. The windows are drawn off screen; the playing
# picture uses the authored test DVD (made here if it is missing).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
out=$(readlink -f "${1:-$build/screenshots}")
if [[ ! -f "$build/build.ninja" && ! -f "$build/Makefile" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target stillbeck_screenshots
fixtures=$(readlink -f "$build")/fixtures
[[ -f "$fixtures/movie.iso" ]] || bash tests/fixtures/make_dvd.sh "$fixtures"
export STILLBECK_FIXTURE_DIR=$fixtures
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
tool=$(find "$build" -type f -name stillbeck_screenshots -perm -u+x | head -n 1)
for scale in 1 2; do
    QT_SCALE_FACTOR=$scale "$tool" "$out/${scale}x" data
done
