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

echo "== Windows tests (Wine)"
# Create the Wine prefix once, before tests run side by side.
bash scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
# The window tests need a display: a virtual one for the whole run.
xvfb-run -a bash -c 'cd build-win && ctest --output-on-failure -j "$(nproc)" --timeout 900' || status=1
exit $status
