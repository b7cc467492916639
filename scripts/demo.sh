#!/bin/sh
# Sets up what is missing, builds the shipped binaries, the stand-ins and the demo host (no
# test program), makes the demo prefix and runs the demo host through every feature.
# Extra arguments run just that demo subcommand.
set -e
. "$(dirname "$0")/common.sh"
sh "$top/scripts/setup.sh"
arch=$(run_arch)
if [ "$arch" = i686 ]; then
  configure_and_build i686 ON $demo_targets
else
  configure_and_build i686 OFF $deliverables
  configure_and_build x86_64 ON $demo_targets
fi
dir="$build_root/$arch"
wine=$(wine_for "$arch")
prefix="$dir/prefixes/demo"
sh "$top/testing/prefix/make-prefix.sh" "$wine" "$prefix" win64 "$dir/prefixes/settings.reg"
. "$top/testing/prefix/wine-env.sh"
export WINEPREFIX="$prefix"
# Each feature may seed the demo prefix (registry entries, shortcuts, files): demo/seed/*.sh
# run with $wine, $prefix and $demo_dir set.
demo_dir="$dir/demo-host"
for seed in "$top"/demo/seed/*.sh; do
  [ -f "$seed" ] && . "$seed"
done
demo() { echo "\$ tessary-demo $*"; "$wine" "$dir/demo-host/tessary-demo.exe" "$@"; echo; }
if [ $# -gt 0 ]; then
  demo "$@"
else
  for step in "$top"/demo/steps/*.sh; do
    [ -f "$step" ] && . "$step"
  done
fi
wineserver -w
