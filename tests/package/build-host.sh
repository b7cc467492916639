#!/bin/sh
# build-host.sh BUILD OUT HOST_SOURCE TOOLCHAIN: installs BUILD into OUT/install (afresh),
# then configures and builds the host project against nothing but that tree.
set -e
build=$1 out=$2 host=$3 toolchain=$4
rm -rf "$out"
cmake --install "$build" --prefix "$out/install" >/dev/null
cmake -G Ninja -S "$host" -B "$out/host" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_PREFIX_PATH="$out/install" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null
cmake --build "$out/host"
