#!/bin/sh
# Sets up what is missing, builds the shipping binaries (with their import checks) and
# runs every test under Wine.
set -e
. "$(dirname "$0")/common.sh"
sh "$top/scripts/setup.sh"
arch=$(run_arch)
if [ "$arch" = i686 ]; then
  echo "test: the 32-bit shipping build, in a 32-bit and a 64-bit Windows prefix"
  configure_and_build i686 ON
else
  if [ -n "$TESSARY_TEST_ARCH" ]; then why="TESSARY_TEST_ARCH chose it"; else why="this machine cannot run 32-bit programs under Wine"; fi
  echo "test: the 64-bit build of the same sources, in a 64-bit Windows prefix ($why)"
  configure_and_build i686 OFF
  configure_and_build x86_64 ON
fi
# The tests run with a home folder of their own that must stay empty: anything found in it
# afterwards would have been written into the user's home folder.
home="$build_root/$arch/home"
rm -rf "$home" && mkdir -p "$home"
status=0
(cd "$build_root/$arch" && HOME="$home" ctest --output-on-failure --timeout 900 -j2) || status=$?
for p in "$build_root/$arch"/prefixes/*/; do
  [ -d "$p" ] && WINEPREFIX="$p" wineserver -k 2>/dev/null || true
done
if [ -n "$(ls -A "$home")" ]; then
  echo "error: the tests wrote outside the build tree, into the home folder:" >&2
  (cd "$home" && find . -mindepth 1 | head -n 20) >&2
  status=1
fi
echo "test: ran the $arch build"
exit $status
