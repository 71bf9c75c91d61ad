#!/usr/bin/env bash
# Saves screenshots of the desktop program into docs/screenshots/, in English
# and in Chinese, under Xvfb: the main window with the navigation tree, the
# communication port dialog and the memory map (showing a codeplug read from
# the virtual radio).
#   tools/screenshots.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target orvex orvex-sim orvex-cli >/dev/null
out=docs/screenshots
mkdir -p "$out"

# The user's stored language stays untouched.
scratch=$(mktemp -d)
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$scratch/config"

# A codeplug with a few programmed channels, read from the virtual radio.
"$build/bin/orvex-sim" --fast --link "$scratch/radio-link" >"$scratch/sim.out" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$scratch/radio-link" ] && break; sleep 0.1; done
codeplug="$scratch/radio.tw"
if ! "$build/bin/orvex-cli" read --port "$scratch/radio-link" -o "$codeplug" >/dev/null 2>&1; then
  "$build/bin/orvex-cli" new "$codeplug" >/dev/null
fi

for lang in en zh; do
  xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/bin/orvex" --lang "$lang" --screenshot "$out" "$codeplug"
done
ls -1 "$out"/*.png
