#!/bin/sh
# Sets up what is missing, builds the shipped binaries (32-bit) and makes the release
# package: build/i686/package/TessaryEngine-<version>-win32.zip and its .sha256 beside it.
# The version is the one of project() in CMakeLists.txt. The same commit gives the same
# bytes wherever and whenever it is packed (scripts/check-reproducible.sh shows it): the
# binaries carry the commit's time, and the ZIP holds the install tree's files in name
# order, each with that time and fixed permissions, and nothing of the packing machine
# (no owner, no access or change times, no time zone).
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

build="$build_root/i686"
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
name="TessaryEngine-$(cached CMAKE_PROJECT_VERSION)-win32"
# 1980-01-01 00:00 UTC, the earliest time a ZIP entry holds, where no commit time is known.
epoch=$(cached TESSARY_SOURCE_DATE_EPOCH)
[ -n "$epoch" ] || epoch=315532800

out="$build/package"
stage="$out/stage"
rm -rf "$out"
cmake --install "$build" --prefix "$stage/$name" >/dev/null
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage/$name"/bin/*
find "$stage" -exec touch -h -d "@$epoch" {} +
(cd "$stage" && find "$name" -type f | LC_ALL=C sort |
  LC_ALL=C TZ=UTC0 zip -q -X -D "$out/$name.zip" -@)
rm -rf "$stage"
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")
ls "$out/$name.zip" "$out/$name.zip.sha256"
