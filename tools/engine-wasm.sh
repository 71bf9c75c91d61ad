#!/usr/bin/env bash
# Compiles the plain C++ engine with Debian's em++ (emscripten 3.1.6), so it
# stays free of Qt and within what the browser's C++ library offers: the
# core (less the stored preference), the packer and .tw format, every model
# room, the clone protocol, the virtual radio's core and the application
# layer, as static libraries, and the browser edition's engine module
# (orvex_web) optimised for size as the page ships it (-Os: a fifth smaller
# than -O2 gzipped, and a transfer waits on the wire, not on the engine), so
# tools/web.sh can take this build (ORVEX_WEB_ENGINE=BUILD_DIR) instead of
# compiling the engine again.
# One small module calling the packer is also run in node.
# Installs emscripten when em++ is missing.
#   tools/engine-wasm.sh [BUILD_DIR]        (default build-wasm)   JOBS=2
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-wasm}
command -v em++ >/dev/null || tools/install-deps.sh emscripten
# em++ links through node, whose modules (acorn) Debian keeps here.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
mkdir -p "$dir"
if ! emcmake cmake -S . -B "$dir" -G Ninja -DORVEX_WEB=ON -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS_RELEASE=-Os -DNDEBUG" >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log"; exit 1
fi
if ! cmake --build "$dir" -- -j"${JOBS:-2}" >"$dir/build.log" 2>&1; then
  grep -E 'error' "$dir/build.log" | grep -v '^em++: error' | head -n 40; tail -n 5 "$dir/build.log"; exit 1
fi
node tests/wasm/packer_probe.mjs "$dir/tests/wasm/packer_probe.js"
version=$(em++ --version 2>/dev/null || true)
echo "The engine compiles with em++ $(grep -m 1 -oE '[0-9]+\.[0-9]+\.[0-9]+' <<<"$version")."
