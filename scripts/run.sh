#!/usr/bin/env bash
# Installs what is needed, builds the release build, and runs the FX tools on the bundled
# samples: every FX file below samples/Data/art/fx is read and printed as JSON.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"

fx=build/release/tools/sparv-fx
cd samples
status=0
while IFS= read -r file; do
    echo "== $file"
    "../$fx" dump --raw "$file" || status=1
done < <(find Data/art/fx -name '*.lua' | sort)
exit $status
