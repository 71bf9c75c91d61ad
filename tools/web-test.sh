#!/usr/bin/env bash
# Tests the browser edition: builds the site (tools/web.sh, which installs
# what is missing: emscripten, nodejs, npm, chromium and the npm packages
# from the lock file), checks the engine module against orvex-cli in node
# (web/test/binding.mjs, job.mjs, virtual_radio.mjs) and drives the page in
# headless Chromium against orvex-sim at wire speed (web/test/e2e.mjs) and
# offline from its service worker's cache (offline.mjs), then its files,
# rows and windows (files_rows.mjs, signalling.mjs, settings.mjs,
# key_scrambler.mjs), the safety net (safety.mjs), printing and the memory
# map (print_map.mjs), several radios at once (fleet.mjs) and last the
# accessibility walk over every window (accessibility_tree.mjs).
# Prints how long it took.
#   tools/web-test.sh [BIN_DIR]    (orvex-cli and orvex-sim; default build/bin)
#   ORVEX_WEB_ENGINE=build-wasm    takes the engine from that em++ build
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
bin=$(realpath "${1:-build/bin}")
for program in orvex-cli orvex-sim; do
  [ -x "$bin/$program" ] || { echo "web-test: no $program in $bin (build the native programs first)" >&2; exit 1; }
done

# A lock file newer than the packages installed is installed again.
[ ! -d web/node_modules ] || [ web/node_modules/.package-lock.json -nt web/package-lock.json ] ||
  (cd web && npm ci --no-audit --no-fund)
tools/web.sh --build-only
echo "site built at $((SECONDS - started)) s"

engine=${ORVEX_WEB_ENGINE:-build-web/engine}/bin
node web/test/binding.mjs "$engine" "$bin/orvex-cli"
node web/test/job.mjs "$engine" "$bin/orvex-cli" "$bin/orvex-sim"
node web/test/virtual_radio.mjs build-web/site
ORVEX_BIN=$bin node web/test/e2e.mjs build-web/site
node web/test/offline.mjs build-web/site
# The files, rows and accessibility checks take the site from a server.
port=${ORVEX_WEB_TEST_PORT:-8199}
python3 -m http.server "$port" --bind 127.0.0.1 -d build-web/site >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
node web/test/files_rows.mjs "http://127.0.0.1:$port/" "$bin/orvex-cli"
node web/test/signalling.mjs "http://127.0.0.1:$port/" "$bin/orvex-cli"
node web/test/key_scrambler.mjs "http://127.0.0.1:$port/" "$bin/orvex-cli"
node web/test/settings.mjs "http://127.0.0.1:$port/" "$bin/orvex-cli"
node web/test/safety.mjs "http://127.0.0.1:$port/" "$bin"
node web/test/print_map.mjs "http://127.0.0.1:$port/" "$bin/orvex-cli"
node web/test/fleet.mjs "http://127.0.0.1:$port/" "$bin"
node web/test/accessibility_tree.mjs "http://127.0.0.1:$port/"
echo "The page's tests passed in $((SECONDS - started)) s."
