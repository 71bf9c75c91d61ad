#!/usr/bin/env bash
# Builds the browser edition and serves it: the engine module (em++, -Os,
# by tools/engine-wasm.sh) and the page (esbuild) go to build-web/site/,
# index.html at its root and every URL relative, so any static host can
# serve it from any folder.
# Installs what is missing (Debian's emscripten, nodejs, npm, chromium,
# librsvg2-bin for the app icons; the npm packages from the lock file).
#   tools/web.sh [--build-only] [--port N]        (default port 8177)   JOBS=2
#   ORVEX_WEB_ENGINE=build-wasm   takes the engine from that em++ build
set -euo pipefail
cd "$(dirname "$0")/.."
port=8177
serve=1
while [ $# -gt 0 ]; do
  case $1 in
    --build-only) serve=0 ;;
    --port) port=${2:?--port needs a number}; shift ;;
    --port=*) port=${1#--port=} ;;
    *) echo "usage: tools/web.sh [--build-only] [--port N]" >&2; exit 2 ;;
  esac
  shift
done

# By command rather than package: a node from elsewhere brings its own npm,
# which Debian's npm package would conflict with.
missing=()
for tool in em++:emscripten node:nodejs npm:npm chromium:chromium cmake:cmake ninja:ninja-build rsvg-convert:librsvg2-bin; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
[ ${#missing[@]} -eq 0 ] || tools/install-deps.sh "${missing[@]}"
tools/install-deps.sh nlohmann-json3-dev
[ -d web/node_modules ] || (cd web && npm ci --no-audit --no-fund)

# The engine module is tools/engine-wasm.sh's build, so CI's em++ phase
# serves the page too (ORVEX_WEB_ENGINE=build-wasm); here it is brought up to
# date, which is quick when nothing changed.
engine=${ORVEX_WEB_ENGINE:-build-web/engine}
site=build-web/site
mkdir -p "$site"
tools/engine-wasm.sh "$engine"
cp "$engine/bin/orvex_web.js" "$engine/bin/orvex_web.wasm" "$site/"
(cd web && node esbuild.config.mjs "../$site")
echo "The site is in $site/."

[ "$serve" -eq 1 ] || exit 0
echo "Serving ORVEX at http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 -d "$site"
