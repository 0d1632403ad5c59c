#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there.
#   bash scripts/sanitize.sh [ctest arguments, e.g. -R settings]
# Any memory error or undefined behaviour fails the test it happens in. Leaks are reported too,
# except those listed in scripts/lsan.supp (inside third-party libraries only).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan --parallel 2

# Full stacks at allocation time, so that the suppressions can see the frames inside libraries
# built without frame pointers. The slow-drive tests preload their read-delay library ahead of the
# ASan runtime; it only forwards calls, so the library-order check is relaxed for them.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:strict_string_checks=1:verify_asan_link_order=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure --timeout 900 "$@"
