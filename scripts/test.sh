#!/bin/sh
# Sets up what is missing, builds the shipping binaries (with their import checks) and
# runs every test under Wine.
set -e
. "$(dirname "$0")/common.sh"
sh "$top/scripts/setup.sh"
arch=$(run_arch)
if [ "$arch" = i686 ]; then
  configure_and_build i686 ON
else
  echo "note: this machine cannot run 32-bit programs under Wine; the tests run the 64-bit build of the same sources"
  configure_and_build i686 OFF
  configure_and_build x86_64 ON
fi
status=0
(cd "$build_root/$arch" && ctest --output-on-failure --timeout 900 -j2) || status=$?
for p in "$build_root/$arch"/prefixes/*/; do
  [ -d "$p" ] && WINEPREFIX="$p" wineserver -k 2>/dev/null || true
done
exit $status
