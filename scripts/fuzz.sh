#!/usr/bin/env bash
# Fuzzes the Jet reader: builds tests/fuzz with clang (libFuzzer and
# AddressSanitizer) in build-fuzz/ and runs it for the given seconds
# (default 60), seeded with the Access fixtures, read in place. New inputs
# go to build-fuzz/corpus; a crash leaves its input in build-fuzz/.
#   scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shared="${FENNICK_SHARED_DIR:-$(cd .. && pwd)/shared}"
flags="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DFENNICK_FUZZ=ON -DFENNICK_SHARED_DIR="$shared" >/dev/null
ninja -C build-fuzz -j2 jet_read_fuzz
mkdir -p build-fuzz/corpus
cd build-fuzz
# Inputs are capped at 256 KiB: larger fixtures seed as their first pages,
# which is itself a truncation the reader must survive.
exec ./bin/jet_read_fuzz -max_total_time="$seconds" -max_len=262144 -timeout=10 \
     -rss_limit_mb=2048 -print_final_stats=1 corpus "$shared/fixtures/access"
