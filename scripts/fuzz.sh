#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each of them.
#   bash scripts/fuzz.sh [seconds]
# With seconds (per target) each fuzzer explores for that long, starting from tests/fuzz/corpus and
# keeping what it finds in build-fuzz/corpus/. With 0 (the default) each target only runs over
# the seed corpus once, which takes seconds (CI does this). A crash stops the script and leaves
# the input as build-fuzz/crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-0}
bash scripts/deps.sh

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSTILLBECK_FUZZ=ON >/dev/null
cmake --build build-fuzz --parallel 2

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# libdvdread allocates what a hostile table says (gigabytes) and copes when it gets nothing.
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
cd build-fuzz
for target in profile_reader settings_reader interval_text drive_list skin_check disc_tables; do
    seeds=../tests/fuzz/corpus/$target
    echo "== fuzz_$target"
    if [ "$seconds" -gt 0 ]; then
        mkdir -p "corpus/$target"
        "fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -malloc_limit_mb=8192 \
            -print_final_stats=1 "corpus/$target" "$seeds"
    else
        "fuzz/fuzz_$target" -runs=0 "$seeds"
    fi
done
