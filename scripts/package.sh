#!/bin/bash
# Builds the Windows packages into build/packages/:
#   Folivra-<version>-setup.exe    (NSIS installer: per user, or /AllUsers)
#   Folivra-<version>-portable.zip (the editor and README.txt)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target folivra installer
version=$(sed -n 's/^project(Folivra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/packages
rm -rf "$out" && mkdir -p "$out/portable"
cp "build/windows/Folivra-$version-setup.exe" "$out/"
cp build/windows/folivra.exe installer/README.txt "$out/portable/"
(cd "$out/portable" && python3 -m zipfile -c "../Folivra-$version-portable.zip" folivra.exe README.txt)
rm -rf "$out/portable"
ls -l "$out"
