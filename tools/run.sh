#!/usr/bin/env bash
# run.sh [args]: installs what is missing, builds KeyDeck (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh run
cmake --preset release -DKEYDECK_BUILD_TESTS=OFF -DKEYDECK_BUILD_BENCH=OFF \
      -DKEYDECK_BUILD_KERNEL_TESTS=OFF >/dev/null
cmake --build --preset release -j "$(nproc)" --target keydeck 2>/dev/null ||
    cmake --build --preset release -j "$(nproc)"
if [ ! -x build/release/bin/keydeck ]; then
    echo "KeyDeck's window is not built yet; the core library was built in build/release."
    exit 0
fi
exec build/release/bin/keydeck "$@"
