#!/usr/bin/env bash
# screenshots.sh: renders the main window in English and Chinese, at 100 % and
# 200 % scale, into docs/screenshots/ (no display needed: Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build/screenshots}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEYDECK_BUILD_TESTS=OFF \
      -DKEYDECK_BUILD_GUI=ON >/dev/null
cmake --build "$build" -j2 --target take_screenshots keydeck
mkdir -p docs/screenshots
export QT_QPA_PLATFORM=offscreen
"$build/bin/take_screenshots" "$build/bin" docs/screenshots
"$build/bin/take_screenshots" "$build/bin" docs/screenshots 2
