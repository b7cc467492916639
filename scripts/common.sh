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

# The shipped binaries, and what the demo adds to them: the stand-ins and the demo host.
deliverables="framework wendle culvane brenholt"
demo_targets="$deliverables chimewick veskaro_window terminator_standin tessary_demo"

# configure_and_build ARCH TESTS(ON|OFF) [TARGET ...]: builds the targets named, or everything.
configure_and_build() {
  dir="$build_root/$1"
  cmake -G Ninja -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-$1.cmake" -DTESSARY_ARCH="$1" \
    -DTESSARY_BUILD_TESTS="$2" >/dev/null
  shift 2
  if [ $# -gt 0 ]; then set -- --target "$@"; fi
  cmake --build "$dir" -j2 "$@"
}

wine_for() {
  if [ "$1" = i686 ]; then echo wine; else echo /usr/lib/wine/wine64; fi
}
