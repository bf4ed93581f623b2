#!/usr/bin/env bash
# Builds Greenslip with its tests and benchmarks and runs the whole suite,
# checks the Debian package made from that tree, then builds a second tree
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs the suite
# again there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGREENSLIP_BUILD_TESTS=ON -DGREENSLIP_BUILD_BENCH=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure --no-tests=error -j "$jobs" --timeout 300)
# The Debian package made from that tree, its contents, and the program
# started from it as an installed copy.
bash scripts/check-package.sh build

if [ "${GREENSLIP_SKIP_SANITIZERS:-0}" != "1" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGREENSLIP_SANITIZE=ON -DGREENSLIP_BUILD_TESTS=ON -DGREENSLIP_BUILD_BENCH=OFF
  cmake --build build-asan -j "$jobs"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  (cd build-asan && ctest --output-on-failure --no-tests=error -j "$jobs" --timeout 600)
fi
