#!/usr/bin/env bash
# Runs one of the fuzzers for a bounded time (default 30 s) on a copy of its seed corpus,
# so findings never touch the committed seeds. Fails when the fuzzer finds a crash, a leak
# or a timeout.
#
#   scripts/fuzz.sh [SECONDS] [fx|mesh|snapshot]
#                                          fx: the FX file reader (default); mesh: the
#                                          ".kmo" mesh reader; snapshot: the review
#                                          snapshot reader
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
target="${2:-fx}"
case "$target" in
fx)
    fuzzer=build/fuzz/fuzz/fx_file_fuzzer
    corpus=fuzz/corpus
    max_len=16384
    prefix=fuzz/findings/
    ;;
mesh)
    fuzzer=build/fuzz/fuzz/mesh_fuzzer
    corpus=fuzz/corpus-mesh
    max_len=65536
    prefix=fuzz/findings/mesh-
    ;;
snapshot)
    fuzzer=build/fuzz/fuzz/snapshot_fuzzer
    corpus=fuzz/corpus-snapshot
    max_len=65536
    prefix=fuzz/findings/snapshot-
    ;;
*)
    echo "usage: scripts/fuzz.sh [SECONDS] [fx|mesh|snapshot]" >&2
    exit 2
    ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$corpus"/. "$work/"
mkdir -p fuzz/findings
"$fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len="$max_len" \
    -artifact_prefix="$prefix" -print_final_stats=1 "$work" 2>&1 | tail -n 20
