#!/bin/sh
# Builds and runs the benchmarks (programs named *_bench.exe) in a 64-bit prefix of their
# own, build/<arch>/prefixes/bench, with a host folder of their own: they rewrite whole
# startup sources, which must not reach a test run going on. The prefix reports Windows 7
# (the startup actions move entries into the MSConfig store there). Each prints its
# figures against a baseline measured in the same run; "sh scripts/bench.sh NAME ..."
# runs only those named.
set -e
. "$(dirname "$0")/common.sh"
sh "$top/scripts/setup.sh"
arch=$(run_arch)
configure_and_build "$arch" ON
dir="$build_root/$arch"
wine=$(wine_for "$arch")
sh "$top/testing/prefix/make-prefix.sh" "$wine" "$dir/prefixes/bench" win64 "$dir/prefixes/settings.reg"
. "$top/testing/prefix/wine-env.sh"
export WINEPREFIX="$dir/prefixes/bench"
"$wine" reg add 'HKCU\Software\Wine' /v Version /d win7 /f >/dev/null 2>&1
wineserver -w
for bench in "$dir"/hosts/bench/*_bench.exe; do
  [ -f "$bench" ] || continue
  case " $* " in "  "|*" $(basename "$bench" .exe) "*) ;; *) continue ;; esac
  echo "== $(basename "$bench")"
  "$wine" "$bench"
done
wineserver -w
