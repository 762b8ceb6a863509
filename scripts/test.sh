#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the whole suite in the release
# build, again under AddressSanitizer + UndefinedBehaviorSanitizer, then each fuzzer for a
# bounded time on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
# The headless GL tests must run here, not skip.
export SPARV_REQUIRE_GL=1
# The editor's tests open real windows: give them a virtual display.
display=(xvfb-run -a -s "-screen 0 1280x800x24")

echo "== release build and tests"
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"
"${display[@]}" ctest --preset release -j"$jobs"

echo "== sanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
"${display[@]}" ctest --preset asan -j"$jobs"

echo "== fuzzing the FX file reader for ${SPARV_FUZZ_SECONDS:-30} s"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
scripts/fuzz.sh "${SPARV_FUZZ_SECONDS:-30}" fx
echo "== fuzzing the mesh reader for ${SPARV_FUZZ_SECONDS:-30} s"
scripts/fuzz.sh "${SPARV_FUZZ_SECONDS:-30}" mesh
echo "== fuzzing the review snapshot reader for ${SPARV_FUZZ_SECONDS:-30} s"
scripts/fuzz.sh "${SPARV_FUZZ_SECONDS:-30}" snapshot
