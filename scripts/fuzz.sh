#!/usr/bin/env bash
# Runs the FX file reader's fuzzer for a bounded time (default 30 s) on a copy of the
# seed corpus, so findings never touch the committed seeds. Fails when the fuzzer finds a
# crash, a leak or a timeout.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
fuzzer=build/fuzz/fuzz/fx_file_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r fuzz/corpus/. "$work/"
mkdir -p fuzz/findings
"$fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=16384 \
    -artifact_prefix=fuzz/findings/ -print_final_stats=1 "$work" 2>&1 | tail -n 20
