#!/usr/bin/env bash
# Installs what is missing, builds both programs and runs every test: the
# native suite, then the Windows suite under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh || exit 1

status=0
echo "== Native tests"
(cd build && ctest --output-on-failure -j "$(nproc)" --timeout 600) || status=1
echo "== Fuzzing the Jet reader"
bash scripts/fuzz.sh 60 || status=1

echo "== Windows tests (Wine)"
# The window tests need a display: a virtual one for the whole run. The Wine
# prefix is made inside it, once, before tests run side by side (a prefix
# made without a display gives its programs none later either), and a
# window test that finds no display fails instead of skipping.
xvfb-run -a bash -c 'bash scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
  cd build-win && FENNICK_REQUIRE_DISPLAY=1 ctest --output-on-failure -j "$(nproc)" --timeout 900' || status=1
exit $status
