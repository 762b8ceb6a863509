#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the whole suite in the release
# build, again under AddressSanitizer + UndefinedBehaviorSanitizer, then the fuzzer for a
# bounded time on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

echo "== release build and tests"
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"
ctest --preset release -j"$jobs"

echo "== sanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs"

echo "== fuzzing the FX file reader for ${SPARV_FUZZ_SECONDS:-30} s"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
scripts/fuzz.sh "${SPARV_FUZZ_SECONDS:-30}"
