#!/usr/bin/env bash
# test.sh: installs what is missing, builds every configuration and runs every
# test: native debug (GUI, unit, UI and VM tests), ASan+UBSan with the fuzz
# targets, TSan, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test
jobs=${KEYDECK_JOBS:-$(nproc)}
fuzz_seconds=${KEYDECK_FUZZ_SECONDS:-20}
export QT_QPA_PLATFORM=offscreen

step() { printf '\n==== %s\n' "$*"; }
passed=0 failed=0
# Runs ctest and adds its counts to the summary printed at the end.
run_ctest() {
    local log
    log=$(mktemp)
    local rc=0
    ctest "$@" 2>&1 | tee "$log" || rc=$?
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -n "$line" ]; then
        local total fail
        fail=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
        passed=$((passed + total - fail)) failed=$((failed + fail))
    fi
    rm -f "$log"
    return $rc
}

step "native debug build and tests"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
run_ctest --preset default -j "$jobs"

step "AddressSanitizer + UBSan build, tests and fuzzing"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 run_ctest --preset asan -j "$jobs"
tools/run-fuzzers.sh build/asan/bin "$fuzz_seconds"

step "ThreadSanitizer build and tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
run_ctest --preset tsan -j "$jobs"

step "Windows build (MinGW-w64) and tests under Wine"
tools/fetch-mingw-deps.sh build/deps/pugixml
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
run_ctest --preset mingw
/usr/lib/wine/wineserver -k 2>/dev/null || true

step "all test runs passed"
echo "keydeck: $passed passed, $failed failed"
