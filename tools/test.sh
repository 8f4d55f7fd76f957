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

step "native debug build and tests"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

step "AddressSanitizer + UBSan build, tests and fuzzing"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --preset asan -j "$jobs"
tools/run-fuzzers.sh build/asan/bin "$fuzz_seconds"

step "ThreadSanitizer build and tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

step "Windows build (MinGW-w64) and tests under Wine"
tools/fetch-mingw-deps.sh build/deps/pugixml
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
ctest --preset mingw
/usr/lib/wine/wineserver -k 2>/dev/null || true

step "all test runs passed"
