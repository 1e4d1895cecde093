#!/bin/bash
# Installs Folivra silently into a fresh Wine prefix, starts the installed
# editor and looks for its window, then uninstalls silently and checks that
# the program files, the shortcut, the association and the uninstall entry
# are gone. Usage: install_test.sh SETUP.exe PREFIX   (under Xvfb)
set -euo pipefail
setup=$1
export WINEPREFIX=$(realpath -m "$2") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
fail() { echo "install_test: $*" >&2; wineserver -k || true; exit 1; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Folivra'

wine "$setup" /S
wineserver -w
location=$(wine reg query "$key" /v InstallLocation 2>/dev/null | tr -d '\r' |
  sed -n 's/.*InstallLocation *REG_SZ *//p')
[ -n "$location" ] || fail "no uninstall entry for the current user"
dir=$(winepath -u "$location" 2>/dev/null)
[ -f "$dir/folivra.exe" ] || fail "folivra.exe not installed in $dir"
[ -f "$dir/README.txt" ] || fail "README.txt not installed"
for value in DisplayName DisplayVersion Publisher DisplayIcon EstimatedSize UninstallString; do
  wine reg query "$key" /v $value >/dev/null 2>&1 || fail "uninstall entry lacks $value"
done
wine reg query 'HKCU\Software\Classes\.zqb' >/dev/null 2>&1 || fail ".zqb not associated"

[ -f "$dir/folivra.installed" ] || fail "the installed copy carries no mark"

# A book opened the way a user opens it (the association, through Wine's
# start) comes up in the installed editor, whose settings go to the user's
# folder, never beside the program.
book="$WINEPREFIX/drive_c/users/Public/tale.zqb"
mkdir -p "$(dirname "$book")"
empty='\x08\x00\x00\x00\x0d\x0f\x3e\x03\x00\x00\x00\x00'
printf "ZQB\x00\x00\x00\x00\x00\x00\xf0\x3f\x00\x00\x00\x00$empty$empty$empty\x00\x00\x00\x00\x00\xf9\xe5\x40$empty$empty\x00\x00\x00\x00" > "$book"
wine start /unix "$book" &
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)
opened=no
for _ in $(seq 1 60); do
  if grep -qs 'tale.zqb' "$appdata/Folivra/config.ini"; then opened=yes; break; fi
  sleep 0.5
done
wineserver -k || true
wait || true
[ $opened = yes ] || fail "wine start did not open the book in the installed editor"
[ ! -e "$dir/config.ini" ] || fail "the installed copy wrote config.ini beside the program"

wine "$dir/uninstall.exe" /S
wineserver -w
sleep 1
wineserver -w
[ ! -e "$dir/folivra.exe" ] || fail "folivra.exe left after uninstall"
[ ! -e "$dir/uninstall.exe" ] || fail "the uninstaller left itself"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left"
wine reg query 'HKCU\Software\Classes\.zqb' >/dev/null 2>&1 && fail "the association is left"
wine reg query 'HKLM\Software\Classes\.zqb' >/dev/null 2>&1 && fail "the association Wine reads is left"
echo "install_test: installed in $location, shown, uninstalled"
