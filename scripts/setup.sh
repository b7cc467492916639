#!/bin/sh
# Installs what a fresh Debian 12 machine lacks for building and testing: the mingw-w64
# cross compilers, Wine, CMake, Ninja, the GoogleTest sources and zip (for the package).
set -e
packages="g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
          wine wine32:i386 wine64 cmake ninja-build googletest zip"
missing=""
for p in $packages; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "setup: installing$missing"
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
