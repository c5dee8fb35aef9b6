#!/usr/bin/env bash
# Builds and runs every test: the unit tests (with the failure and large-input
# tests of tests/hostile), the property run of generated jobs through
# tabulon-export, then the unit tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the formatter tests under a
# comma-decimal locale, then every fuzz harness for FUZZ_SECONDS_CI seconds (default 60)
# on its committed corpus, then the Windows build and its tests under Wine, and
# the Windows programs end to end under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULON_WERROR=ON >/dev/null
cmake --build build -j "$jobs"

echo "== unit tests"
ctest --test-dir build --output-on-failure -j "$jobs" -LE property

echo "== property run: generated jobs through tabulon-export"
ctest --test-dir build --output-on-failure -L property

echo "== unit tests under a comma-decimal locale"
LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 ctest --test-dir build --output-on-failure -j "$jobs" -L unit

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTABULON_SANITIZE=ON -DTABULON_BENCH=OFF \
  -DTABULON_DESKTOP=OFF -DTABULON_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit

echo "== desktop end-to-end test (Xvfb, CUPS and its PDF printer)"
# Keeps a screenshot of the preview window in out/; UPDATE_SCREENSHOT=1 renews the
# README's picture in docs/ instead.
mkdir -p out
screenshot=out/preview.png
if [ "${UPDATE_SCREENSHOT:-0}" = 1 ]; then screenshot=docs/preview.png; fi
bash scripts/desktop-e2e.sh build "$screenshot"

echo "== fuzz harnesses, ${FUZZ_SECONDS_CI:-60}s each"
bash scripts/run-fuzz.sh "${FUZZ_SECONDS_CI:-60}"

echo "== Windows build and tests under Wine"
bash scripts/windows-tests.sh build

echo "== Windows programs end to end under Wine (Xvfb, CUPS and its PDF printer)"
# Keeps a screenshot in out/preview-windows.png; UPDATE_SCREENSHOT=1 renews the
# README's picture in docs/ instead.
windows_screenshot=out/preview-windows.png
if [ "${UPDATE_SCREENSHOT:-0}" = 1 ]; then windows_screenshot=docs/preview-windows.png; fi
bash scripts/windows-e2e.sh "$windows_screenshot"
