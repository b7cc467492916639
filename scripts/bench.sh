#!/bin/sh
# Builds and runs the benchmarks (programs named *_bench.exe) in the 64-bit test prefix.
# Each prints its figures against a baseline measured in the same run.
set -e
. "$(dirname "$0")/common.sh"
sh "$top/scripts/setup.sh"
arch=$(run_arch)
configure_and_build "$arch" ON
dir="$build_root/$arch"
wine=$(wine_for "$arch")
sh "$top/testing/prefix/make-prefix.sh" "$wine" "$dir/prefixes/win64" win64 "$dir/prefixes/settings.reg"
export WINEPREFIX="$dir/prefixes/win64" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for bench in "$dir"/hosts/win64/*_bench.exe; do
  [ -f "$bench" ] || continue
  case " $* " in "  "|*" $(basename "$bench" .exe) "*) ;; *) continue ;; esac
  echo "== $(basename "$bench")"
  "$wine" "$bench"
done
wineserver -w
