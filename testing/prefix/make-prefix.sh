#!/bin/sh
# make-prefix.sh WINE DIR ARCH REGFILE
# Makes the Wine prefix DIR (ARCH win32 or win64) when it is missing, keeps it sealed off
# from the Linux home folder, then applies the registry settings of REGFILE. The first
# creation takes 10-20 s; later runs about 1 s.
set -e
wine=$1 dir=$2 arch=$3 regfile=$4
. "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$dir"
if [ "$arch" = win32 ]; then export WINEARCH=win32; else export WINEARCH=win64; fi
if [ ! -f "$dir/.tessary-ready" ]; then
  rm -rf "$dir"
  mkdir -p "$dir/.home"
  # wineboot links the new user's Desktop, Documents, Music, ... to $HOME: give it a home
  # inside the prefix, then make those folders real ones below.
  HOME="$dir/.home" XDG_CONFIG_HOME="$dir/.home/.config" XDG_DATA_HOME="$dir/.home/.local/share" \
    XDG_CACHE_HOME="$dir/.home/.cache" "$wine" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$dir/system.reg" ] || { echo "error: wineboot did not make $dir" >&2; exit 1; }
  touch "$dir/.tessary-ready"
fi
# User folders stay inside the prefix, also in prefixes made by earlier versions of this
# script; and Wine never updates the prefix on its own, which would link them again.
find "$dir/drive_c/users" -type l | while read -r link; do
  rm "$link" && mkdir -p "$link"
done
rm -rf "$dir/.home"
echo disable > "$dir/.update-timestamp"
"$wine" regedit /S "Z:$(printf '%s' "$regfile" | sed 's|/|\\|g')" >/dev/null 2>&1
wineserver -w
