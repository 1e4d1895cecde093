#!/bin/bash
# Builds the editor and runs it under Wine; any arguments go to the editor.
# Without a display it runs on a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target folivra
run=(build/windows/wine-run.sh build/windows/folivra.exe "$@")
if [ -n "${DISPLAY:-}" ]; then
  "${run[@]}"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "${run[@]}"
fi
