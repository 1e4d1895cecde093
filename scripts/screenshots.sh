#!/bin/bash
# Takes screenshots of the editor showing a sample book, under Xvfb:
# build/screenshots/{start,information,chapter,save-dialog,font-dialog}.png
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target window_shots
out=build/screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1024x768x24" \
  build/windows/wine-run.sh build/windows/window_shots.exe "$(winepath -w "$out" 2>/dev/null || echo "Z:$PWD/$out")"
for shot in start information chapter save-dialog font-dialog; do
  convert "$out/$shot.bmp" "$out/$shot.png" && rm "$out/$shot.bmp"
done
ls "$out"
