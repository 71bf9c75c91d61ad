#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# SECONDS (default 60), as many at once as there are cores (FUZZ_JOBS),
# seeded with the real files in fuzz/seeds (codeplugs),
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
# Paired so that each of the two slower imports runs beside a fast target.
targets="decode_fuzz csv_fuzz open_fuzz json_fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORVEX_FUZZ=ON \
  -DORVEX_BUILD_GUI=OFF -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
ninja -C "$build" $targets >/dev/null

# One target per core at a time: each still gets SECONDS of a core to itself.
jobs=${FUZZ_JOBS:-$(nproc)}

# Runs one target; its report goes to $results/$target, the exit status says
# whether it found anything.
fuzz_one() {
  target=$1
  work=$(mktemp -d)
  case $target in
    csv_fuzz) seeds="$root/fuzz/csv_seeds" ;;
    json_fuzz) seeds="$root/fuzz/json_seeds" ;;
    *) seeds="$root/fuzz/seeds" ;;
  esac
  out="$results/$target"
  # The seeds stay untouched: new corpus entries go to a scratch folder.
  if ! "$build/bin/$target" "$work" "$seeds" -max_total_time="$seconds" -max_len=16384 \
      -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/" -print_final_stats=1 \
      >"$work/log" 2>&1; then
    {
      echo "$target: FAILED"
      tail -n 40 "$work/log"
      for found in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work"/slow-unit-*; do
        [ -f "$found" ] || continue
        kept="$regressions/${target}-$(basename "$found")"
        cp "$found" "$kept"
        echo "kept $kept"
      done
    } >"$out.err"
    rm -rf "$work"
    return 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  runs=${runs:-0}
  echo "$target: no finding in ${seconds}s ($runs runs, $((runs / seconds)) exec/s)" >"$out"
  if [ "$runs" -lt "$min_runs" ]; then
    echo "$target: warning: only $runs runs, fewer than $min_runs" >"$out.err"
    rm -rf "$work"
    [ -z "${FUZZ_STRICT:-}" ] || return 1
    return 0
  fi
  rm -rf "$work"
}

results=$(mktemp -d)
status=0
running=0
pids=
for target in $targets; do
  fuzz_one "$target" &
  pids="$pids $!"
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    for pid in $pids; do wait "$pid" || status=1; done
    pids=
    running=0
  fi
done
for pid in $pids; do wait "$pid" || status=1; done
# Reported in the targets' order, whatever order they finished in.
for target in $targets; do
  [ -f "$results/$target" ] && cat "$results/$target"
  [ -f "$results/$target.err" ] && cat "$results/$target.err" >&2
done
rm -rf "$results"
exit $status
