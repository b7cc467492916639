#!/bin/sh
# Sets up what is missing, builds the shipped binaries (32-bit) and makes the release
# package: build/i686/package/TessaryEngine-<version>-win32.zip and its .sha256 beside it.
# The version is the one of project() in CMakeLists.txt.
set -e
. "$(dirname "$0")/common.sh"
sh "$top/scripts/setup.sh"
# The test command configures build/i686 with the tests; the package takes only the
# shipped binaries from it, but keeps that configuration so neither rebuilds the other's.
if [ -f "$build_root/i686/CMakeCache.txt" ] && grep -q '^TESSARY_BUILD_TESTS:BOOL=OFF' "$build_root/i686/CMakeCache.txt"; then
  tests=OFF
else
  tests=ON
fi
configure_and_build i686 "$tests" $deliverables
(cd "$build_root/i686" && cpack -C Release >/dev/null)
ls "$build_root"/i686/package/TessaryEngine-*.zip "$build_root"/i686/package/TessaryEngine-*.zip.sha256
