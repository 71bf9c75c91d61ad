#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# SECONDS (default 60), seeded with the real files in fuzz/seeds (codeplugs),
# fuzz/csv_seeds (channel CSV) or fuzz/json_seeds (JSON codeplug).  Prints
# each target's executions and executions per second; a target that falls
# short of MIN_RUNS (default 100000 in 60 s, in proportion otherwise) gets a
# warning (a failure with FUZZ_STRICT=1: a busy machine alone must not fail
# the run).  Any input that makes a target fail is kept
# in fuzz/regressions/ (replayed by the ordinary tests from then on) and the
# script exits non-zero.
set -eu

seconds=${1:-60}
min_runs=${MIN_RUNS:-$((100000 * seconds / 60))}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
regressions="$root/fuzz/regressions"
targets="decode_fuzz open_fuzz csv_fuzz json_fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORVEX_FUZZ=ON \
  -DORVEX_BUILD_GUI=OFF -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
ninja -C "$build" $targets >/dev/null

status=0
for target in $targets; do
  work=$(mktemp -d)
  case $target in
    csv_fuzz) seeds="$root/fuzz/csv_seeds" ;;
    json_fuzz) seeds="$root/fuzz/json_seeds" ;;
    *) seeds="$root/fuzz/seeds" ;;
  esac
  # The seeds stay untouched: new corpus entries go to a scratch folder.
  if ! "$build/bin/$target" "$work" "$seeds" -max_total_time="$seconds" -max_len=16384 \
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
    runs=${runs:-0}
    echo "$target: no finding in ${seconds}s ($runs runs, $((runs / seconds)) exec/s)"
    if [ "$runs" -lt "$min_runs" ]; then
      echo "$target: warning: only $runs runs, fewer than $min_runs" >&2
      [ -z "${FUZZ_STRICT:-}" ] || status=1
    fi
  fi
  rm -rf "$work"
done
exit $status
