#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test:
#   1. the libFuzzer targets (clang), each for FUZZ_SECONDS (default 60);
#   2. the test suite under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the test suite of the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}

scripts/install-deps.sh

echo "== build"
scripts/build.sh

echo "== fuzz build"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOOLKIT_FUZZ=ON -DTOOLKIT_GUI=OFF -DTOOLKIT_BENCH=OFF >/dev/null
cmake --build build-fuzz
for target in build-fuzz/bin/fuzz_*; do
    name=$(basename "$target")
    corpus=$(mktemp -d)
    "$root/fuzz/seed.sh" "$name" "$corpus"
    echo "== $name for ${fuzz_seconds}s"
    "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
    rm -rf "$corpus"
done

echo "== sanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOOLKIT_SANITIZE=ON \
    -DTOOLKIT_GUI=OFF -DTOOLKIT_BENCH=OFF >/dev/null
cmake --build build-asan
echo "== tests under sanitizers"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== tests (drawing tests on a virtual X server)"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j"$jobs"
