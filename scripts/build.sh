#!/usr/bin/env bash
# Builds the native programs and tests into build/ and the Windows ones into
# build-win/. "native" or "windows" as the first argument builds only that.
set -euo pipefail
cd "$(dirname "$0")/.."
which="${1:-all}"
jobs="$(nproc)"

if [ "$which" = all ] || [ "$which" = native ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$jobs"
fi
if [ "$which" = all ] || [ "$which" = windows ]; then
  cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
  cmake --build build-win -j "$jobs"
fi
