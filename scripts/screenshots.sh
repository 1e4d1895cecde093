#!/bin/bash
# Takes screenshots of the editor showing a sample book, under Xvfb:
# build/screenshots/{start,information,chapter,chapter-menu,save-dialog,font-dialog}.png
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target window_shots
out=build/screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1024x768x24" \
  build/windows/wine-run.sh build/windows/window_shots.exe "$(winepath -w "$out" 2>/dev/null || echo "Z:$PWD/$out")"
for shot in start information chapter chapter-menu save-dialog font-dialog password-dialog password-set; do
  convert "$out/$shot.bmp" "$out/$shot.png" && rm "$out/$shot.bmp"
done
ls "$out"

# The stand-alone reader: a sample book compiled with zqb pack, shown for real.
cmake --preset native >/dev/null
cmake --build --preset native --target zqb
cat > "$out/reader-book.json" <<'JSON'
{"title": "山海行记", "author": "林溪", "book_type": "连载小说", "intro": "一部关于远行的长篇连载。",
 "chapters": [{"name": "第一章 出发", "content": "e1xydGYxXGFuc2lcYW5zaWNwZzkzNlxmczI4IFwnYzdcJ2U1XCdiM1wnYmZcJ2EzXCdhYyBcJ2NlXCdlZFwnYzZcJ2Y4XCdiNFwnZDNcJ2JhXCdkM1wnYzNcJ2U2XCdjOVwnZmRcJ2M2XCdmMFwnYTFcJ2EzfQ=="},
              {"name": "第二章 渡河", "content": ""}]}
JSON
build/native/zqb build "$out/reader-book.json" "$out/reader-book.zqb"
build/native/zqb pack "$out/reader-book.zqb" "$out/reader.exe"
xvfb-run -a -s "-screen 0 800x600x24" bash -c "
  build/windows/wine-run.sh '$out/reader.exe' &
  sleep 6
  import -window root '$out/reader.png'
  wineserver -k 2>/dev/null || true" || true
rm -f "$out/reader-book.json" "$out/reader-book.zqb" "$out/reader.exe"
ls "$out"
