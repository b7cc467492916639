#!/bin/sh
# make-prefix.sh WINE DIR ARCH REGFILE
# Makes the Wine prefix DIR (ARCH win32 or win64) when it is missing, then applies the
# registry settings of REGFILE. The first creation takes 10-20 s; later runs about 1 s.
set -e
wine=$1 dir=$2 arch=$3 regfile=$4
export WINEPREFIX="$dir" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$arch" = win32 ]; then export WINEARCH=win32; else export WINEARCH=win64; fi
if [ ! -f "$dir/.tessary-ready" ]; then
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$dir/system.reg" ] || { echo "error: wineboot did not make $dir" >&2; exit 1; }
  touch "$dir/.tessary-ready"
fi
"$wine" regedit /S "Z:$(printf '%s' "$regfile" | sed 's|/|\\|g')" >/dev/null 2>&1
wineserver -w
