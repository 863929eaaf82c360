#!/usr/bin/env bash
# The main job: installs what is missing, builds, and converts the bundled
# sample schema into an Access database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native
echo
echo "Built build/bin/fennick-cli. The end-to-end conversion of the bundled"
echo "sample is not built yet; the engine pieces land one by one."
build/bin/fennick-cli --version
