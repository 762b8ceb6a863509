#!/usr/bin/env bash
# Installs what is needed, builds the release build, checks the bundled sample effects,
# renders each of them to build/samples/NAME.png, and runs the editor on the samples:
# under a virtual display when there is no display, saving a screenshot to
# build/samples/editor.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"

root=$(pwd)
fx="$root/build/release/tools/sparv-fx"
out="$root/build/samples"
mkdir -p "$out"
cd samples

echo "== checking the sample library"
"$fx" lint

echo "== rendering the samples to $out"
# Top-level effects, each at a moment that shows it well.
while read -r name time; do
    "$fx" render "$name" --time "$time" -o "$out/$name.png"
    echo "   $out/$name.png"
done <<'LIST'
explosion 0.4
sparks 0.5
smoke_puff 1.2
fire 2
laser 1
engine 6
hyperspace_window 1.5
sun_flare 1
shockwave 0.6
muzzle_flash 0.3
vortex 3
ripples 3
ground_dust 0.8
rain 2
confetti 1
LIST

editor="$root/build/release/editor/sparv"
if [ -x "$editor" ]; then
    echo "== the editor on the samples"
    if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
        exec "$editor" --wkdir "$root/samples"
    fi
    xvfb-run -a -s "-screen 0 1280x800x24" "$editor" --wkdir "$root/samples" \
        --open explosion --screenshot "$out/editor.png" --quit-after 0.6
    echo "   $out/editor.png"
fi
