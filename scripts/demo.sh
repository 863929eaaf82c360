#!/usr/bin/env bash
# The main job: installs what is missing, builds, and converts the bundled
# sample schema into an Access database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native
sample="build/samples/sample.db"
echo
echo "The sample schema ($sample) holds these tables:"
build/bin/fennick-cli tables --service "sqlite:$sample"
echo
echo "Converting them into build/demo/sample.mdb:"
mkdir -p build/demo
rm -f build/demo/sample.mdb  # a fresh file on every run
if build/bin/fennick-cli convert --service "sqlite:$sample" --target build/demo/sample.mdb \
     --format 2000 --all-tables; then
  build/bin/fennick-cli inspect build/demo/sample.mdb
else
  echo
  echo "Some steps failed (see the log above); what was converted is shown here:"
  build/bin/fennick-cli inspect build/demo/sample.mdb
fi
