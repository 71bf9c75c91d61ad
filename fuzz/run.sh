#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# SECONDS (default 60), seeded with the real files in fuzz/seeds (codeplugs)
# or fuzz/csv_seeds (channel CSV).  Any input
# that makes a target fail is kept in fuzz/regressions/ (replayed by the
# ordinary tests from then on) and the script exits non-zero.
set -eu

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
regressions="$root/fuzz/regressions"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORVEX_FUZZ=ON \
  -DORVEX_BUILD_GUI=OFF -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_BENCH=OFF >/dev/null
ninja -C "$build" decode_fuzz open_fuzz csv_fuzz >/dev/null

status=0
for target in decode_fuzz open_fuzz csv_fuzz; do
  work=$(mktemp -d)
  seeds="$root/fuzz/seeds"
  [ "$target" = csv_fuzz ] && seeds="$root/fuzz/csv_seeds"
  # The seeds stay untouched: new corpus entries go to a scratch folder.
  if ! "$build/bin/$target" "$work" "$seeds" -max_total_time="$seconds" -max_len=9000 \
      -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/" -print_final_stats=1 \
      >"$work/log" 2>&1; then
    status=1
    echo "$target: FAILED" >&2
    tail -n 40 "$work/log" >&2
    for found in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work"/slow-unit-*; do
      [ -f "$found" ] || continue
      kept="$regressions/${target}-$(basename "$found")"
      cp "$found" "$kept"
      echo "kept $kept" >&2
    done
  else
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    echo "$target: no finding in ${seconds}s (${runs:-?} runs)"
  fi
  rm -rf "$work"
done
exit $status
