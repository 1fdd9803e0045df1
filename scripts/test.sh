#!/usr/bin/env bash
# Builds every preset and runs every test: unit tests natively (the Linux program end to
# end on Xvfb), under ASan+UBSan and under Wine; the real .scr end to end under Wine on a
# virtual display. The 32-bit build is compiled only; both go into the tested setup program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
jobs=$(nproc)

passed=0
failed=0
run_suite() {  # name, command...
  local name=$1; shift
  echo "=== $name"
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "*** $name FAILED"; fi
}

build() {  # preset
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

run_suite "native build" build native
run_suite "native unit tests" ctest --preset native -L unit
run_suite "native Linux program end-to-end tests (Xvfb)" ctest --preset native -L e2e
run_suite "native-asan build" build native-asan
run_suite "native-asan unit tests" ctest --preset native-asan -L unit
run_suite "fuzz (libFuzzer, short)" scripts/fuzz.sh 10
run_suite "mingw64 build" build mingw64
run_suite "mingw64 unit tests (Wine)" ctest --preset mingw64 -L unit -j "$jobs"
if [ -x tests/e2e/run-e2e.sh ]; then
  run_suite "mingw64 end-to-end tests (Wine, Xvfb)" tests/e2e/run-e2e.sh build/mingw64
fi
run_suite "mingw64 soak, 1 minute of full screen and of the dialog (Wine, Xvfb)" tests/e2e/soak.sh 1 build/mingw64
run_suite "mingw32 build" build mingw32
run_suite "setup program (NSIS)" cmake --build --preset mingw64 --target installer
run_suite "setup program end-to-end tests (Wine, Xvfb)" tests/e2e/run-installer-e2e.sh build/mingw64

# Wine keeps a server per prefix; leave none behind.
for prefix in wineprefix installer-wineprefix; do
  WINEPREFIX="$PWD/build/mingw64/$prefix" wineserver -k 2>/dev/null || true
done

echo
echo "suites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
