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

# The installed editor starts and shows its window.
wine "$dir/folivra.exe" &
shown=no
for _ in $(seq 1 40); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Folivra"'; then shown=yes; break; fi
  sleep 0.5
done
wineserver -k || true
wait || true
[ $shown = yes ] || fail "the installed editor showed no window"

wine "$dir/uninstall.exe" /S
wineserver -w
sleep 1
wineserver -w
[ ! -e "$dir/folivra.exe" ] || fail "folivra.exe left after uninstall"
[ ! -e "$dir/uninstall.exe" ] || fail "the uninstaller left itself"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left"
wine reg query 'HKCU\Software\Classes\.zqb' >/dev/null 2>&1 && fail "the association is left"
echo "install_test: installed in $location, shown, uninstalled"
