#!/usr/bin/env bash
# Builds the Debian package from a clone: installs what is missing, builds
# in build-package/ with Debian's hardening flags, checks the package with
# lintian and leaves it in build-package/package/orvex_VERSION_ARCH.deb.
#   tools/package.sh
#   sudo apt install ./build-package/package/orvex_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build=build-package
# Debian's compiler and linker flags (hardening, reproducible paths).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_BENCH=OFF >/dev/null
if ! cmake --build "$build" -- -j"$(nproc)" >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log"; exit 1
fi
cmake --build "$build" --target package >/dev/null
deb=$(ls "$build"/package/orvex_*.deb)
lintian --fail-on error "$deb" || { echo "lintian found errors in $deb"; exit 1; }
echo "$deb"
