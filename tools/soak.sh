#!/usr/bin/env bash
# The long probe (not part of CI): fuzzes every target for a share of MINUTES
# (default 60), every single-bit flip of the corruption sweep, fault-injected
# Reads and Writes against orvex-sim, kill -9 at random moments during saves
# and reads onto an existing file, the GUI monkey with a seed a minute, and a
# list of bad inputs.  Prints one line
# per scenario (tried / held / failed) and exits non-zero on any crash, hang
# (more than 10 s), silent corruption or failure reported as success.
#   TRANSFERS=1000  KILLS=1000  SEED=1  BUILD=build  (the normal build, made
#   by tools/test.sh or cmake; the fuzz build is made by fuzz/run.sh)
#   SOAK_FUZZ=0 leaves the fuzzing out.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
minutes=${1:-60}
transfers=${TRANSFERS:-1000}
kills=${KILLS:-1000}
RANDOM=${SEED:-1}
bin=$root/${BUILD:-build}/bin
cli=$bin/orvex-cli
sim=$bin/orvex-sim
limit=10  # seconds before a run counts as hung
for program in "$cli" "$sim"; do
  [ -x "$program" ] || { echo "soak: $program is not built" >&2; exit 2; }
done
work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  jobs -p | xargs -r kill 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
status=0

report() {  # name tried held failed
  printf '%-24s tried %7s  held %7s  failed %s\n' "$1" "$2" "$3" "$4"
  [ "$4" -eq 0 ] || status=1
}

# Runs a command with the hang limit; its exit code, or 124 when it hung.
bounded() { timeout -s KILL "$limit" "$@"; local rc=$?; [ $rc -eq 137 ] && rc=124; return $rc; }

# A crash is death by a signal (or abort's 134), a hang the time limit.
broken() { [ "$1" -ge 124 ]; }

# orvex-sim in the background with the given options; sets $device.
start_sim() {
  "$sim" --fast "$@" >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  device=
  for _ in $(seq 100); do
    device=$(head -n 1 "$work/sim.out" 2>/dev/null)
    [ -n "$device" ] && return 0
    sleep 0.05
  done
  return 1
}
stop_sim() {
  [ -n "$sim_pid" ] || return 0
  kill "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
  sim_pid=
}

# --- fuzzing and the whole corruption sweep ---------------------------------
# Two fifths of the time go to fuzzing; fuzz/run.sh runs one target per core
# at a time, so each of the four targets gets its share times the cores used.
fuzz_jobs=${FUZZ_JOBS:-$(nproc)}
[ "$fuzz_jobs" -le 4 ] || fuzz_jobs=4
fuzz_seconds=$((minutes * 60 * 2 / 5 * fuzz_jobs / 4))
[ "$fuzz_seconds" -ge 10 ] || fuzz_seconds=10
if [ "${SOAK_FUZZ:-1}" = 0 ]; then
  echo "soak: fuzzing skipped (SOAK_FUZZ=0)" >&2
elif command -v clang++ >/dev/null; then
  MIN_RUNS=0 FUZZ_JOBS=$fuzz_jobs fuzz/run.sh "$fuzz_seconds" >"$work/fuzz.log" 2>&1
  for target in decode_fuzz open_fuzz csv_fuzz json_fuzz; do
    runs=$(sed -n "s/^$target: no finding in .* (\([0-9]*\) runs.*/\1/p" "$work/fuzz.log")
    if [ -n "$runs" ]; then report "fuzz $target" "$runs" "$runs" 0; else report "fuzz $target" 1 0 1; fi
  done
  grep -E 'FAILED|kept' "$work/fuzz.log" >&2
else
  echo "soak: clang++ missing, fuzzing skipped" >&2
fi
sweep=$bin/corruption_sweep_test
if [ -x "$sweep" ]; then
  if ORVEX_EVERY_FLIP=1 "$sweep" --gtest_filter='*SingleBitFlips*' >"$work/sweep.log" 2>&1; then
    flips=$(sed -n 's/^\([0-9]*\)-byte file.*/\1/p' "$work/sweep.log" | awk '{s += $1 * 8} END {print s + 0}')
    report "every bit flip" "$flips" "$flips" 0
  else
    tail -n 20 "$work/sweep.log" >&2
    report "every bit flip" 1 0 1
  fi
fi

# --- fault-injected Reads and Writes ----------------------------------------
"$cli" new "$work/blank.tw" >/dev/null
python_free_image() {  # a varied codeplug: a blank one with channels imported
  {
    echo "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip"
    for n in $(seq 1 100); do
      echo "$n,CH$n,$((140 + n % 30)).$((n % 8))25000,,0.000000,Tone,88.5,88.5,023,NN,FM,12.50,"
    done
  } >"$work/varied.csv"
  "$cli" import "$work/blank.tw" --csv "$work/varied.csv" -o "$1" >/dev/null
}
python_free_image "$work/varied.tw"
# References from fault-free transfers.
start_sim --image "$work/varied.tw" && "$cli" read --port "$device" -o "$work/read-ref.tw" 2>/dev/null
stop_sim
start_sim --image "$work/blank.tw" --save "$work/write-ref.tw" &&
  "$cli" write --port "$device" "$work/varied.tw" 2>/dev/null
stop_sim
if ! [ -s "$work/read-ref.tw" ] || ! [ -s "$work/write-ref.tw" ]; then
  echo "soak: fault-free transfers against orvex-sim fail" >&2
  exit 1
fi

fault_options() {
  local options=() pick=$((RANDOM % 9))
  case $pick in
    0) options+=(--drop-every $((2 + RANDOM % 60))) ;;
    1) options+=(--noise $((1 + RANDOM % 64))) ;;
    2) options+=(--echo) ;;
    3) options+=(--bad-ack) ;;
    4) options+=(--silent-after $((RANDOM % 300))) ;;
    5) options+=(--hangup-after $((RANDOM % 300))) ;;
    6) options+=(--delay $((760 + RANDOM % 80)) --silent-after $((1 + RANDOM % 4))) ;;
    7) options+=(--echo --noise $((1 + RANDOM % 16)) --drop-every $((5 + RANDOM % 40))) ;;
    8) options+=(--ident "AB$((RANDOM % 1000))") ;;
  esac
  echo "${options[@]}"
}

tried=0 held=0 failed=0
for _ in $(seq "$transfers"); do
  tried=$((tried + 1))
  read -r -a faults <<<"$(fault_options)"
  rm -f "$work/out.tw" "$work/saved.tw"
  if [ $((RANDOM % 2)) -eq 0 ]; then
    start_sim --image "$work/varied.tw" "${faults[@]}" || { failed=$((failed + 1)); continue; }
    bounded "$cli" read --port "$device" -o "$work/out.tw" --retries $((RANDOM % 2)) >/dev/null 2>"$work/err"
    rc=$?
    stop_sim
    if broken $rc; then
      failed=$((failed + 1)); echo "read ${faults[*]}: exit $rc" >&2
    elif [ $rc -eq 0 ] && ! cmp -s "$work/out.tw" "$work/read-ref.tw"; then
      failed=$((failed + 1)); echo "read ${faults[*]}: success with wrong or missing data" >&2
    elif [ $rc -ne 0 ] && [ -e "$work/out.tw" ]; then
      failed=$((failed + 1)); echo "read ${faults[*]}: a file from a failed Read" >&2
    else
      held=$((held + 1))
    fi
  else
    start_sim --image "$work/blank.tw" --save "$work/saved.tw" "${faults[@]}" || { failed=$((failed + 1)); continue; }
    bounded "$cli" write --port "$device" "$work/varied.tw" --retries $((RANDOM % 2)) >/dev/null 2>"$work/err"
    rc=$?
    stop_sim
    if broken $rc; then
      failed=$((failed + 1)); echo "write ${faults[*]}: exit $rc" >&2
    elif [ $rc -eq 0 ] && ! cmp -s "$work/saved.tw" "$work/write-ref.tw"; then
      failed=$((failed + 1)); echo "write ${faults[*]}: reported written, radio differs" >&2
    else
      held=$((held + 1))
    fi
  fi
done
report "faulty transfers" "$tried" "$held" "$failed"

# --- kill -9 during saves and reads onto an existing file -------------------
printf '{"format": "orvex-codeplug", "version": 1, "options": {"vox_level": "5"}}' >"$work/doc.json"
"$cli" import "$work/varied.tw" --json "$work/doc.json" -o "$work/imported.tw" >/dev/null
tried=0 held=0 failed=0 debris=0
start_sim --image "$work/varied.tw"
for _ in $(seq "$kills"); do
  tried=$((tried + 1))
  cp "$work/blank.tw" "$work/target.tw"
  reading=0
  case $((RANDOM % 10)) in
    0) reading=1; new="$work/read-ref.tw"
       "$cli" read --port "$device" -o "$work/target.tw" --retries 0 >/dev/null 2>&1 &
       pause=$((RANDOM % 1500)) ;;
    1|2|3) new="$work/blank.tw"; "$cli" new "$work/target.tw" 2>/dev/null &
       pause=$((RANDOM % 40)) ;;
    *) new="$work/imported.tw"
       "$cli" import "$work/varied.tw" --json "$work/doc.json" -o "$work/target.tw" 2>/dev/null &
       pause=$((RANDOM % 60)) ;;
  esac
  victim=$!
  sleep "$(printf '0.%03d' "$pause")" 2>/dev/null || sleep "$((pause / 1000))"
  kill -9 "$victim" 2>/dev/null
  wait "$victim" 2>/dev/null
  ok=1
  cmp -s "$work/target.tw" "$work/blank.tw" || cmp -s "$work/target.tw" "$new" || {
    ok=0; echo "kill: target is neither the old nor the new file" >&2; }
  compgen -G "$work/target.tw.*" >/dev/null && debris=$((debris + 1))
  if [ $reading -eq 1 ]; then
    # The next transfer on the port starts at once, whatever the kill left.
    bounded "$cli" read --port "$device" -o "$work/after.tw" --retries 1 >/dev/null 2>"$work/err" || {
      ok=0; echo "kill: the next Read failed: $(cat "$work/err")" >&2; }
  fi
  if [ $ok -eq 1 ]; then held=$((held + 1)); else failed=$((failed + 1)); fi
done
stop_sim
# The next save removes whatever a killed one left.
"$cli" new "$work/target.tw" >/dev/null
if compgen -G "$work/target.tw.*" >/dev/null; then
  failed=$((failed + 1)); echo "kill: temporary files survive the next save: $(ls "$work")" >&2
fi
report "kill -9 (debris $debris)" "$tried" "$held" "$failed"

# --- the GUI monkey -----------------------------------------------------------
# A tenth of the time, in runs of a minute, each with its own seed (drawn
# from SEED, so a soak repeats its seeds); a failed run prints the seed and
# the steps that led there.
monkey=$bin/monkey_qtest
if [ -x "$monkey" ]; then
  monkey_runs=$((minutes / 10))
  [ "$monkey_runs" -ge 1 ] || monkey_runs=1
  tried=0 held=0 failed=0
  for _ in $(seq "$monkey_runs"); do
    tried=$((tried + 1))
    seed=$(((RANDOM << 15) | RANDOM))
    if QT_QPA_PLATFORM=offscreen ORVEX_MONKEY_SEED=$seed ORVEX_MONKEY_SECONDS=60 \
      timeout -s KILL 300 "$monkey" monkey >"$work/monkey.log" 2>&1; then
      held=$((held + 1))
    else
      failed=$((failed + 1))
      echo "GUI monkey: seed $seed failed" >&2
      grep -v -e '^QWARN' -e 'does not support' "$work/monkey.log" | tail -n 60 >&2
    fi
  done
  report "GUI monkey (1 min each)" "$tried" "$held" "$failed"
else
  echo "soak: $monkey is not built, the GUI monkey skipped" >&2
fi

# --- bad inputs --------------------------------------------------------------
tried=0 held=0 failed=0
# expect EXIT [STDERR-LIMIT] -- command...: the exit status (0 or 1) and at
# most STDERR-LIMIT bytes of messages, within the hang limit and 600 MB of
# address space.
expect() {
  local want=$1 errmax=$2; shift 3
  tried=$((tried + 1))
  (ulimit -v 600000; bounded "$@") >"$work/out" 2>"$work/err"
  local rc=$?
  local size
  size=$(stat -c %s "$work/err")
  if [ $rc -ne "$want" ] || [ "$size" -gt "$errmax" ]; then
    failed=$((failed + 1)); echo "bad input: exit $rc (want $want), $size bytes of messages: $*" >&2
    head -c 300 "$work/err" >&2
  else
    held=$((held + 1))
  fi
}
truncate -s 100M "$work/big"
mkfifo "$work/fifo" "$work/fed"
# A FIFO fed without end; each reader gets a writer of its own (yes ends when
# the reader goes).
feed() { [ "$1" != "$work/fed" ] || { yes >"$work/fed" 2>/dev/null & }; }
{ printf 'Location,Frequency\r\n'; head -c 3500000 /dev/zero | tr '\0' ','; } >"$work/commas.csv"
head -c 20000000 /dev/zero | tr '\0' ',' >"$work/commas20.csv"
{ printf 'Location,Frequency\r\n'; for _ in $(seq 200000); do printf '999,1\r\n'; done; } >"$work/rows.csv"
{ printf '{"x": "'; head -c 3000000 /dev/zero | tr '\0' 'a'; printf '"}'; } >"$work/string.json"
{ printf '{"x": "'; head -c 50000000 /dev/zero | tr '\0' 'a'; printf '"}'; } >"$work/string50.json"
printf '{"channels": [{"number": 1e300}, {"number": -1e400}]}' >"$work/number.json"
echo text >"$work/file.txt"
b=$work/blank.tw
for input in /dev/zero /dev/urandom "$work/big" "$work/fed"; do
  feed "$input"; expect 1 300 -- "$cli" info "$input"
  feed "$input"; expect 1 300 -- "$cli" dump "$input"
  feed "$input"; expect 1 300 -- "$cli" export "$input" --format csv
  feed "$input"; expect 1 300 -- "$cli" pack "$input" "$work/x"
  feed "$input"; expect 1 300 -- "$cli" import "$b" --csv "$input" -o "$work/x"
  feed "$input"; expect 1 300 -- "$cli" import "$b" --json "$input" -o "$work/x"
done
for csv in commas.csv commas20.csv rows.csv; do
  expect 1 3000 -- "$cli" import "$b" --csv "$work/$csv" -o "$work/x"
done
for json in string.json string50.json number.json; do
  expect 1 3000 -- "$cli" import "$b" --json "$work/$json" -o "$work/x"
done
for destination in /dev/null /dev/full "$work/fifo" "$work"; do
  expect 1 300 -- "$cli" new "$destination"
  expect 1 300 -- "$cli" export "$b" --format json -o "$destination"
  expect 1 300 -- "$cli" pack "$b" "$destination"
done
[ -c /dev/null ] && [ -c /dev/full ] && [ -p "$work/fifo" ] || {
  failed=$((failed + 1)); echo "bad input: a device or FIFO was replaced" >&2; }
expect 1 300 -- sh -c '"$0" dump "$1" >/dev/full' "$cli" "$b"
expect 1 300 -- sh -c '"$0" info "$1" >/dev/full' "$cli" "$b"
pushd "$work" >/dev/null || exit 2
expect 0 0 -- sh -c 'n=$(printf "caf\351.tw") && "$0" new "$n" && "$0" info "$n" >/dev/null' "$cli"
expect 1 300 -- "$cli" read --port file.txt -o "$work/x"
grep -q "No such file" "$work/err" && { failed=$((failed + 1)); echo "bad input: --port file.txt not found" >&2; }
popd >/dev/null || exit 2
report "bad inputs" "$tried" "$held" "$failed"

exit $status
