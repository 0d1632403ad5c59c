#!/usr/bin/env bash
# The export of whole titles against ffmpeg doing the same job on the same VOB files, on two
# authored discs made here once: a 30 s title and a 10 min one of film-like motion (moving test
# pictures under grain, interlaced as TV material is, coded in groups of I, P and B pictures as
# discs are). Prints one line per disc and mode.
#   bench/run_export_bench.sh [long-title minutes]   (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
minutes=${1:-10}
if [[ ! -f "$build/build.ninja" && ! -f "$build/Makefile" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target bench_export
discs=$(readlink -f "$build")/bench-discs
mkdir -p "$discs"

# author <name> <seconds>: $discs/<name>/VIDEO_TS with one PAL 4:3 title, unless already there.
author() {
    local name=$1 seconds=$2 work=$discs/$1.work
    [[ -f "$discs/$name/VIDEO_TS/VIDEO_TS.IFO" ]] && return 0
    rm -rf "$work" "${discs:?}/$name"
    mkdir -p "$work"
    ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "testsrc2=size=720x576:rate=25:duration=$seconds,noise=alls=10:allf=t" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$seconds" \
        -target pal-dvd -aspect 4:3 -b:v 5000k -maxrate 8000k -bufsize 1835k \
        -flags +ilme+ildct -top 1 -bf 2 -c:a ac3 -b:a 128k -threads 2 "$work/title.mpg"
    VIDEO_FORMAT=PAL dvdauthor -o "$work/DVD" -t "$work/title.mpg" >"$work/dvdauthor.log" 2>&1
    VIDEO_FORMAT=PAL dvdauthor -o "$work/DVD" -T >>"$work/dvdauthor.log" 2>&1
    mv "$work/DVD" "$discs/$name"
    rm -rf "$work"
}
author short 30
author long $((minutes * 60))

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
echo "# load: $(cut -d' ' -f1-3 /proc/loadavg)"
for disc in short long; do
    for mode in every_1s every_frame sheet; do
        echo -n "disc=$disc "
        "$build/bench/bench_export" "$discs/$disc" "$mode" "$scratch"
    done
done
echo "# load: $(cut -d' ' -f1-3 /proc/loadavg)"
