#!/usr/bin/env bash
# run-fuzzers.sh BIN_DIR SECONDS: runs every fuzz_* target in BIN_DIR for
# SECONDS each, seeded with its corpus under fuzz/corpus/<name without fuzz_>.
set -euo pipefail
bin=$1 secs=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
targets=("$bin"/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $bin"; exit 0; }
for t in "${targets[@]}"; do
    name=$(basename "$t")
    seeds="$root/fuzz/corpus/${name#fuzz_}"
    work=$(mktemp -d)
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
    echo "fuzzing $name for ${secs}s"
    "$t" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$work" \
        >"$work.log" 2>&1 || { tail -n 60 "$work.log"; rm -rf "$work" "$work.log"; exit 1; }
    grep -E '^stat::number_of_executed_units' "$work.log" || true
    rm -rf "$work" "$work.log"
done
echo "fuzzing: ${#targets[@]} targets clean"
