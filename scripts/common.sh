# shellcheck shell=bash
# Shared by setup.sh and test.sh (sourced, not run): where the build folders
# are and how each build is configured, so both scripts configure a folder
# the same way and never fight over its cache.
#
# Environment:
#   MXO2_BUILD_PREFIX  path of the Linux build folder; the others get a
#                      suffix (-win64, -win32, -asan). Default: <repo>/build
#   MXO2_JOBS          parallel compile jobs. Default: 2

MXO2_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MXO2_BUILD_PREFIX="${MXO2_BUILD_PREFIX:-$MXO2_ROOT/build}"
MXO2_JOBS="${MXO2_JOBS:-2}"

MXO2_BUILD_LINUX="$MXO2_BUILD_PREFIX"
MXO2_BUILD_WIN64="$MXO2_BUILD_PREFIX-win64"
MXO2_BUILD_WIN32="$MXO2_BUILD_PREFIX-win32"
MXO2_BUILD_ASAN="$MXO2_BUILD_PREFIX-asan"

# mxo2_output DIR NAME: where a build put one of its programs or the module
# (the top-level CMakeLists.txt gathers them in bin/).
mxo2_output() {
  local dir="$1" name="$2"
  if [[ ! -e "$dir/bin/$name" && -e "$dir/$name" ]]; then
    echo "$dir/$name"
  else
    echo "$dir/bin/$name"
  fi
}

mxo2_log() { printf '[%s] %s\n' "$(date +%H:%M:%S)" "$*"; }

# The packages listed in scripts/debian-packages.txt.
mxo2_required_packages() {
  sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "$MXO2_ROOT/scripts/debian-packages.txt"
}

mxo2_missing_packages() {
  local package
  for package in $(mxo2_required_packages); do
    if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
      echo "$package"
    fi
  done
}

# Compiler cache: used when installed. Paths are made relative to the
# repository, so a clone in another folder (as CI's is) reuses the entries.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$MXO2_ROOT"
  export CCACHE_NOHASHDIR=1
  MXO2_LAUNCHER=ccache
else
  MXO2_LAUNCHER=""
fi

# mxo2_configure DIR [CMAKE ARGS...]: configure DIR with Ninja (or with the
# generator it was first configured with) from the repository's sources.
mxo2_configure() {
  local dir="$1"
  shift
  local generator=Ninja
  if [[ -f "$dir/CMakeCache.txt" ]]; then
    generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$dir/CMakeCache.txt")
  fi
  cmake -S "$MXO2_ROOT" -B "$dir" -G "$generator" \
    -DCMAKE_C_COMPILER_LAUNCHER="$MXO2_LAUNCHER" -DCMAKE_CXX_COMPILER_LAUNCHER="$MXO2_LAUNCHER" "$@"
}

mxo2_build() {
  local dir="$1"
  shift
  cmake --build "$dir" --parallel "$MXO2_JOBS" "$@"
}

mxo2_configure_linux() {
  mxo2_configure "$MXO2_BUILD_LINUX" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMXO2_BUILD_TESTS=ON -DMXO2_BUILD_BENCH=ON -DMXO2_SANITIZE=OFF
}

# The Windows builds are optimised as the shipped module is, without debug
# information: nothing here debugs them, and it costs compile and link time.
mxo2_configure_win64() {
  mxo2_configure "$MXO2_BUILD_WIN64" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$MXO2_ROOT/cmake/toolchain-mingw-x86_64.cmake" \
    -DMXO2_BUILD_TESTS=ON
}

# 32-bit programs cannot run here, so this build makes only the module (see
# test.sh); its test programs would be dead weight.
mxo2_configure_win32() {
  mxo2_configure "$MXO2_BUILD_WIN32" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$MXO2_ROOT/cmake/toolchain-mingw-i686.cmake" \
    -DMXO2_BUILD_TESTS=OFF
}

# Unoptimised: with the sanitizers, -O2 takes about five times as long to
# compile as -O0, and the sanitizers find as much without the optimiser.
mxo2_configure_asan() {
  mxo2_configure "$MXO2_BUILD_ASAN" -DCMAKE_BUILD_TYPE=Debug \
    -DMXO2_BUILD_TESTS=ON -DMXO2_BUILD_BENCH=OFF -DMXO2_SANITIZE=ON
}
