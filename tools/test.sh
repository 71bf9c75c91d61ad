#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build and
# its Debian package (checked by lintian and unpacked by the tests), the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# (float-cast-overflow included; the GUI monkey runs longest there; built
# at low priority while the browser phase runs), and a
# bounded libFuzzer run on the packer, the file reader and the channel CSV
# and JSON imports; between them the engine is compiled with em++
# (tools/engine-wasm.sh) and that build serves the browser page, whose tests
# run in headless Chromium (tools/web-test.sh).  The long probe is
# tools/soak.sh, not part of this run.
#   FUZZ_SECONDS=45 (per target)  ORVEX_SKIP_SANITIZE=1  ORVEX_SKIP_FUZZ=1
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
phase() { echo "== $1 (at $((SECONDS - started)) s)"; }
tools/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Configures and builds one tree (and, for `build`, its Debian package).
build_tree() {
  local dir=$1; shift
  mkdir -p "$dir"
  cmake -S . -B "$dir" -G Ninja "$@" >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; return 1; }
  echo "configured $dir at $((SECONDS - started)) s"
  if ! cmake --build "$dir" -- -j"$jobs" >"$dir/build.log" 2>&1; then
    grep -E 'error|Error' "$dir/build.log" | head -n 40; tail -n 20 "$dir/build.log"; return 1
  fi
  grep -E 'warning:' "$dir/build.log" | sort -u | head -n 20 || true
  if [ "$dir" = build ]; then
    # The Debian package, which the package_* tests check.
    if ! cmake --build "$dir" --target package >"$dir/package.log" 2>&1; then
      tail -n 40 "$dir/package.log"; return 1
    fi
  fi
  echo "built $dir at $((SECONDS - started)) s"
}

test_tree() {
  local dir=$1
  if ! ctest --test-dir "$dir" -j"$jobs" --output-on-failure --timeout 600 >"$dir/test.log" 2>&1; then
    grep -vE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$dir/test.log" | tail -n 200
    echo "Tests failed in $dir (full log: $dir/test.log)"; return 1
  fi
  grep -E 'tests passed|Total Test time' "$dir/test.log"
}

phase "build and test"
# Optimised as a package is, without debug information (a third of the
# compile time); the sanitizer build below keeps line tables for its traces.
build_tree build -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DORVEX_BUILD_BENCH=ON
test_tree build

sanitize=yes
[ -z "${ORVEX_SKIP_SANITIZE:-}" ] || sanitize=no
if [ "$sanitize" = yes ]; then
  export ASAN_OPTIONS=detect_odr_violation=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
  # The sanitizer build runs at the lowest priority beside the em++ build and
  # the browser page's tests: it takes the cores they leave idle (while they
  # wait on the wire at 9600 baud) without slowing the transfers they time.
  phase "AddressSanitizer + UndefinedBehaviorSanitizer build (in the background)"
  mkdir -p build-asan
  nice -n 19 bash -c "$(declare -f build_tree); SECONDS=$((SECONDS - started)) started=0 jobs=$jobs; build_tree build-asan \
    -DCMAKE_BUILD_TYPE=Debug '-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1' -DORVEX_SANITIZE=ON -DORVEX_BUILD_BENCH=OFF" \
    >build-asan/phase.log 2>&1 &
  asan_build=$!
fi

phase "engine with em++"
tools/engine-wasm.sh build-wasm

phase "browser page"
ORVEX_WEB_ENGINE=build-wasm tools/web-test.sh build/bin

if [ "$sanitize" = yes ]; then
  phase "AddressSanitizer + UndefinedBehaviorSanitizer tests"
  if ! wait "$asan_build"; then cat build-asan/phase.log; exit 1; fi
  cat build-asan/phase.log
  test_tree build-asan
fi

if [ -z "${ORVEX_SKIP_FUZZ:-}" ] && [ -x fuzz/run.sh ]; then
  phase "fuzzing"
  fuzz/run.sh "${FUZZ_SECONDS:-45}"
fi
echo "All tests passed in $((SECONDS - started)) s."
