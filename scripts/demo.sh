#!/bin/sh
# Sets up what is missing, builds, makes the demo prefix and runs the demo host through
# every feature. Extra arguments run just that demo subcommand.
set -e
. "$(dirname "$0")/common.sh"
sh "$top/scripts/setup.sh"
arch=$(run_arch)
configure_and_build i686 OFF
[ "$arch" = i686 ] || configure_and_build x86_64 ON
[ "$arch" = i686 ] && configure_and_build i686 ON
dir="$build_root/$arch"
wine=$(wine_for "$arch")
prefix="$dir/prefixes/demo"
sh "$top/testing/prefix/make-prefix.sh" "$wine" "$prefix" win64 "$dir/prefixes/settings.reg"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$top/demo/seed-demo-prefix.sh" ] && sh "$top/demo/seed-demo-prefix.sh" "$wine" "$dir/demo-host"
demo() { echo "\$ tessary-demo $*"; "$wine" "$dir/demo-host/tessary-demo.exe" "$@"; echo; }
if [ $# -gt 0 ]; then
  demo "$@"
else
  for step in "$top"/demo/steps/*.sh; do
    [ -f "$step" ] && . "$step"
  done
fi
wineserver -w
