# Shared by scripts/run and scripts/test: what to install, and the Wine prefixes.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${ZELQ_BUILD:-$ROOT/build}
case $BUILD in /*) ;; *) BUILD=$ROOT/$BUILD ;; esac

# Everything the two commands need on a minimal Debian 12 or 13 (or Ubuntu 22.04 or 24.04), installed
# without recommends, so each package is named here with the reason it is needed. No package names a
# compiler version: each release's default is taken.
PACKAGES=""
OPTIONAL=""
need() { PACKAGES="$PACKAGES $*"; }
# Installed where the release has the package.
need_if_known() { OPTIONAL="$OPTIONAL $*"; }
need cmake make g++                            # the native build; g++ and cmake do not bring make
need clang                                     # the fuzz targets
# clang's sanitizer runtimes, of the version the default clang depends on. Ubuntu 22.04 has no such
# package: there they come with clang itself (libclang-common-N-dev).
need_if_known libclang-rt-dev
need googletest                                # GoogleTest's sources, built by each build
need g++-mingw-w64-i686 g++-mingw-w64-x86-64   # the 32-bit program and the 64-bit build of the tests
need wine wine32:i386 wine64                   # runs the program and its window tests
# Fonts, which wine only recommends. Without Tahoma, Wine gives the dialog font Liberation Sans (the
# widths of Windows' Arial): the control tables and the screenshots are drawn with it.
need fonts-liberation
need fonts-wine                                # Marlett: caption buttons and arrows (see wine-run)
need fonts-dejavu-core                         # DejaVu Sans, the wide face the layout test also runs under
need xvfb xauth x11-utils imagemagick          # a display for screenshots, xwininfo to find the window, import

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_packages() {
  echo "Installing:$*"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# Installs from the release's packages whatever is missing; a second run installs nothing.
ensure_packages() {
  missing=""
  for p in $PACKAGES; do
    installed "$p" || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    install_packages $missing
  fi
  # Asked of the package lists only now, which the first install has brought up to date.
  for p in $OPTIONAL; do
    if ! installed "$p" && apt-cache show "$p" >/dev/null 2>&1; then
      install_packages "$p"
    fi
  done
  pick_run_build # Wine's 32-bit side may have come just now
}

# Whether this machine runs 32-bit code (some virtual machines run 64-bit user code only).
runs_32bit() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The build whose tests and program run here: the 32-bit one where the machine runs 32-bit
# code, else the 64-bit build of the same sources under Wine's 64-bit loader.
pick_run_build() {
  if runs_32bit; then
    RUN_BUILD=$BUILD/win32
    WINE_LOADER=wine
  else
    RUN_BUILD=$BUILD/win64
    WINE_LOADER=/usr/lib/wine/wine64
  fi
}
pick_run_build

# Configures and builds the native (sanitised) build, the 32-bit program and, where the
# machine runs no 32-bit code, the 64-bit build that the tests then run.
build_all() {
  jobs=$(nproc)
  cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$BUILD/native" -j"$jobs"
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -DZELQ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD/fuzz" -j"$jobs"
  if runs_32bit; then
    cmake -S "$ROOT" -B "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
      -DZELQ_NATIVE_BUILD="$BUILD/native;$BUILD/fuzz" -DZELQ_WINDOWS_TESTS=ON >/dev/null
    cmake --build "$BUILD/win32" -j"$jobs"
  else
    cmake -S "$ROOT" -B "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
      -DZELQ_WINDOWS_TESTS=OFF >/dev/null
    cmake --build "$BUILD/win32" -j"$jobs" --target ZelqConfig
    cmake -S "$ROOT" -B "$BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" \
      -DZELQ_NATIVE_BUILD="$BUILD/native;$BUILD/fuzz" -DZELQ_WINDOWS_TESTS=ON >/dev/null
    cmake --build "$BUILD/win64" -j"$jobs"
  fi
}
