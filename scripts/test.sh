#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test:
#   1. the libFuzzer targets (clang), each for FUZZ_SECONDS (default 20), one per core;
#   2. the test suite under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the test suite of the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-20}
started=$SECONDS
# stage NAME: prints the stage heading with the seconds since the start.
stage() { echo "== $1 (at $((SECONDS - started)) s)"; }

scripts/install-deps.sh
source scripts/compiler_cache.sh

stage "build"
scripts/build.sh

stage "fuzz build"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOOLKIT_FUZZ=ON -DTOOLKIT_GUI=OFF -DTOOLKIT_BENCH=OFF "${compiler_cache[@]}" >/dev/null
cmake --build build-fuzz
# fuzz_run TARGET CORPUS SECONDS: runs one target, prints "NAME: N exec/s",
# and returns non-zero when it crashed, hung, ran out of memory, made one
# allocation over 256 MiB or any sanitizer reported; then it prints the
# target's whole log (kept in build-fuzz/logs/, the input in build-fuzz/artifacts/).
fuzz_run() {
    local target=$1 corpus=$2 seconds=$3 name log rate status=0
    name=$(basename "$target")
    log="$root/build-fuzz/logs/$name.log"
    mkdir -p "$root/build-fuzz/logs" "$root/build-fuzz/artifacts"
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=512 -malloc_limit_mb=256 \
        -print_final_stats=1 -artifact_prefix="$root/build-fuzz/artifacts/$name-" \
        "$corpus" >"$log" 2>&1 || status=$?
    if [ "$status" -eq 0 ] && grep -qE "runtime error:|==ERROR:|^SUMMARY: " "$log"; then
        status=1
    fi
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    echo "$name: ${rate:-0} exec/s"
    if [ "$status" -ne 0 ]; then
        echo "== $name FAILED (status $status); its whole log ($log):"
        cat "$log"
    fi
    return "$status"
}

# The check must be able to fail: a target that overflows on purpose has to.
corpus=$(mktemp -d)
printf 'UB\001' >"$corpus/overflow"
if fuzz_run build-fuzz/bin/selfcheck_ubsan "$corpus" 10 >/dev/null ||
    grep -q "recovered after a report" build-fuzz/logs/selfcheck_ubsan.log ||
    ! grep -q "runtime error:" build-fuzz/logs/selfcheck_ubsan.log; then
    echo "== fuzz self-check FAILED: a sanitizer report does not end and fail a fuzz run"
    cat build-fuzz/logs/selfcheck_ubsan.log
    exit 1
fi
rm -rf "$corpus"
# The targets run one per core at a time, each with its own corpus; what each
# printed is shown in target order once its group has finished.
fuzz_failed=()
batch=()
fuzz_wait_batch() {
    local name
    for name in "${batch[@]}"; do
        if ! wait "${batch_pid[$name]}"; then
            fuzz_failed+=("$name")
        fi
        cat "$root/build-fuzz/logs/$name.result"
    done
    batch=()
}
declare -A batch_pid
mkdir -p "$root/build-fuzz/logs"
for target in build-fuzz/bin/fuzz_*; do
    name=$(basename "$target")
    echo "== $name for ${fuzz_seconds}s"
    (
        corpus=$(mktemp -d)
        "$root/fuzz/seed.sh" "$name" "$corpus"
        status=0
        fuzz_run "$target" "$corpus" "$fuzz_seconds" >"$root/build-fuzz/logs/$name.result" 2>&1 ||
            status=$?
        rm -rf "$corpus"
        exit "$status"
    ) &
    batch_pid[$name]=$!
    batch+=("$name")
    if [ "${#batch[@]}" -ge "$jobs" ]; then
        fuzz_wait_batch
    fi
done
fuzz_wait_batch
if [ "${#fuzz_failed[@]}" -gt 0 ]; then
    echo "== fuzz FAILED: ${fuzz_failed[*]}"
    exit 1
fi

stage "sanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOOLKIT_SANITIZE=ON \
    -DTOOLKIT_GUI=OFF -DTOOLKIT_BENCH=OFF "${compiler_cache[@]}" >/dev/null
cmake --build build-asan
stage "tests under sanitizers"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

stage "tests (drawing tests on a virtual X server)"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j"$jobs"

stage "Debian package (built, unpacked and run; appstreamcli, manuals, lintian)"
packaging/check_package.sh build
stage "done"
