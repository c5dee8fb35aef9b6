#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each one for a bounded time
# on its committed corpus (fuzz/corpus/<harness>/) with its dictionary.
#   scripts/run-fuzz.sh SECONDS [HARNESS...]
# New inputs go to a scratch folder (build-fuzz/corpus/<harness>/), never into the
# committed corpus. Exits non-zero when any harness reports a finding; the input
# that caused it is left in build-fuzz/findings/<harness>/ to be kept under
# fuzz/regressions/<harness>/ once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: run-fuzz.sh SECONDS [HARNESS...]}
shift
build=${FUZZ_BUILD:-build-fuzz}

# The picture libraries under the preview's decoders, instrumented like the rest
# (built once into $build/libs/). Without them the picture_decoder harness still
# runs, over the system's libraries, but sees almost nothing: say so loudly.
if ! bash scripts/fuzz-libraries.sh "$build"; then
  echo "!! run-fuzz: the instrumented picture libraries could not be built;" \
    "picture_decoder fuzzes over the system's uninstrumented libjpeg and libpng" >&2
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULON_FUZZ=ON \
  -DTABULON_DESKTOP=OFF -DTABULON_TESTS=OFF -DTABULON_BENCH=OFF -DTABULON_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for source in fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" _fuzzer.cpp)
    harnesses+=("$name")
  done
fi

failed=0
for name in "${harnesses[@]}"; do
  scratch="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$scratch" "$findings"
  dict=()
  [ -f "fuzz/dict/$name.dict" ] && dict=(-dict="fuzz/dict/$name.dict")
  echo "== fuzz $name for ${seconds}s"
  # A header-sized allocation or a hang is a finding: memory and time stay
  # proportional to the real input.
  if ! "$build/fuzz/${name}_fuzzer" "$scratch" "fuzz/corpus/$name" "${dict[@]}" \
      -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
      -artifact_prefix="$findings/" -print_final_stats=1 >"$build/$name.log" 2>&1; then
    echo "!! $name found a fault; input in $findings/, log in $build/$name.log"
    grep -E "ERROR|fuzz check failed|SUMMARY" "$build/$name.log" | head -5 || true
    failed=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$name.log" || true
done
exit $failed
