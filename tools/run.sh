#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program against the
# virtual radio (orvex --demo).  Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" >/dev/null
cmake --build build -- -j"$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\]' || true
test -x build/bin/orvex-cli

if [ ! -x build/bin/orvex ]; then
  # Until the desktop program is built, show the command-line tool.
  demo=$(mktemp -d)
  build/bin/orvex-cli new "$demo/demo.tw"
  build/bin/orvex-cli info "$demo/demo.tw"
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under Xvfb."
  exec xvfb-run -a build/bin/orvex --demo "$@"
fi
exec build/bin/orvex --demo "$@"
