#!/usr/bin/env bash
# Tests the browser edition: builds the site (tools/web.sh, which installs
# what is missing: emscripten, nodejs, npm, chromium and the npm packages
# from the lock file), checks the engine module against orvex-cli in node
# (web/test/binding.mjs) and drives the page in headless Chromium against
# orvex-sim at wire speed (web/test/e2e.mjs).  Prints how long it took.
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

node web/test/binding.mjs "${ORVEX_WEB_ENGINE:-build-web/engine}/bin" "$bin/orvex-cli"
ORVEX_BIN=$bin node web/test/e2e.mjs build-web/site
echo "The page's tests passed in $((SECONDS - started)) s."
