# Shared by the build, test and demo scripts (sourced, not run).
top=$(cd "$(dirname "$0")/.." && pwd)
build_root="$top/build"

# The shipping binaries are 32-bit. Wine runs them only where the Linux kernel executes
# 32-bit programs (Wine's 32-bit loader is one); elsewhere the tests and the demo run a
# 64-bit build of the same sources.
run_arch() {
  if [ -n "$TESSARY_TEST_ARCH" ]; then echo "$TESSARY_TEST_ARCH"; return; fi
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
}

# configure_and_build ARCH TESTS(ON|OFF)
configure_and_build() {
  dir="$build_root/$1"
  cmake -G Ninja -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-$1.cmake" -DTESSARY_ARCH="$1" \
    -DTESSARY_BUILD_TESTS="$2" >/dev/null
  cmake --build "$dir" -j2
}

wine_for() {
  if [ "$1" = i686 ]; then echo wine; else echo /usr/lib/wine/wine64; fi
}
