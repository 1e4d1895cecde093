#!/bin/bash
# Takes screenshots of the editor showing a sample book, and of the reader,
# under Xvfb at 96, 144 and 192 DPI:
# build/screenshots/{start,information,chapter,tree-counts,volumes,writing-view,writing-night,chapter-menu,history,writing-stats,today,saving,save-dialog,font-dialog,
#   password-dialog,password-set,import-dialog,reader}.png, the same under dpi144/ and dpi192/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target window_shots
cmake --preset native >/dev/null
cmake --build --preset native --target zqb

top=build/screenshots
mkdir -p "$top"
book="$top/reader-book"
cat > "$book.json" <<'JSON'
{"title": "山海行记", "author": "林溪", "book_type": "连载小说", "intro": "一部关于远行的长篇连载。",
 "chapters": [{"name": "第一章 出发", "content": "e1xydGYxXGFuc2lcYW5zaWNwZzkzNlxmczI4IFwnYzdcJ2U1XCdiM1wnYmZcJ2EzXCdhYyBcJ2NlXCdlZFwnYzZcJ2Y4XCdiNFwnZDNcJ2JhXCdkM1wnYzNcJ2U2XCdjOVwnZmRcJ2M2XCdmMFwnYTFcJ2EzfQ=="},
              {"name": "第二章 渡河", "content": ""}]}
JSON
build/native/zqb build "$book.json" "$book.zqb"
build/native/zqb pack "$book.zqb" "$top/reader.exe"

for dpi in 96 144 192; do
  out=$top
  [ "$dpi" = 96 ] || out=$top/dpi$dpi
  mkdir -p "$out"
  export FOLIVRA_WINE_DPI=$dpi
  screen="$((1024 * dpi / 96))x$((768 * dpi / 96))x24"
  xvfb-run -a -s "-screen 0 $screen" \
    build/windows/wine-run.sh build/windows/window_shots.exe "Z:$PWD/$out"
  for shot in start information chapter tree-counts volumes writing-view writing-night chapter-menu search word-count history writing-stats today saving save-dialog font-dialog password-dialog password-set import-dialog; do
    convert "$out/$shot.bmp" "$out/$shot.png" && rm "$out/$shot.bmp"
  done
  # The stand-alone reader: the sample book compiled with zqb pack, shown for real.
  xvfb-run -a -s "-screen 0 $screen" bash -c "
    build/windows/wine-run.sh '$top/reader.exe' &
    sleep 6
    import -window root -crop $((800 * dpi / 96))x$((600 * dpi / 96))+0+0 '$out/reader.png'
    WINEPREFIX=\$(sed -n 's/^export WINEPREFIX=\"\\(.*\\)\"/\\1/p' build/windows/wine-run.sh)
    [ $dpi = 96 ] || WINEPREFIX=\$WINEPREFIX-dpi$dpi
    WINEPREFIX=\$WINEPREFIX wineserver -k 2>/dev/null || true" || true
done
rm -f "$book.json" "$book.zqb" "$top/reader.exe"
ls -R "$top"
