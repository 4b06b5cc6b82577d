#!/usr/bin/env bash
# Builds the transport-free libraries and their tests for Linux on 64-bit PowerPC, big-endian (the engine's
# platform), with Debian's cross compiler, and runs the tests under qemu-ppc64: the JSON library, cimclient's
# value model and CIM-XML codec, the host stand-ins and the engine's byte-level pieces. The target's
# libraries are not Debian packages, so pugixml is built from Debian's source package and GoogleTest from the
# sources libgtest-dev ships; both are kept in the build folder for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/${TQ_PPC64_BUILD:-build-ppc64}
deps=$build/deps
jobs=$(nproc)
sysroot=/usr/powerpc64-linux-gnu
toolchain=$root/cmake/ppc64-linux-gnu.cmake
# A compiler cache, where there is one, serves any checkout of the tree (paths below it are hashed as relative).
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$root
fi
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
  fi
}

# Debian's source package of pugixml, unpacked under $1; a deb-src entry is added beside the binary ones
# when apt has none.
fetch_pugixml_source() {
  local into=$1
  mkdir -p "$into"
  if ! (cd "$into" && apt-get source --print-uris -qq pugixml >/dev/null 2>&1); then
    local list=/etc/apt/sources.list.d/debian.sources
    if [ -f "$list" ]; then
      sed -e 's/^Types: deb$/Types: deb-src/' "$list" | $sudo_cmd tee /etc/apt/sources.list.d/tq-debian-src.sources >/dev/null
    else
      grep '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' |
        $sudo_cmd tee /etc/apt/sources.list.d/tq-debian-src.list >/dev/null
    fi
    $sudo_cmd apt-get update -qq
  fi
  if ! (cd "$into" && apt-get source -qq pugixml); then
    echo "Debian's pugixml source package could not be fetched (is a deb-src entry reachable?)" >&2
    return 1
  fi
}

# Configures, builds and installs a CMake project for the target into $deps/usr.
build_dependency() {
  local source=$1 binary=$2
  shift 2
  cmake -S "$source" -B "$binary" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps/usr" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$binary" -j "$jobs" >/dev/null
  cmake --install "$binary" >/dev/null
}

install_packages cmake make g++-powerpc64-linux-gnu libc6-dev-ppc64-cross qemu-user dpkg-dev libgtest-dev

if [ ! -f "$deps/usr/lib/cmake/pugixml/pugixml-config.cmake" ]; then
  rm -rf "$build/src/pugixml"
  fetch_pugixml_source "$build/src/pugixml"
  build_dependency "$(find "$build/src/pugixml" -mindepth 1 -maxdepth 1 -type d -name 'pugixml-*')" \
    "$build/deps-build/pugixml" -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
fi
if [ ! -f "$deps/usr/lib/cmake/GTest/GTestConfig.cmake" ]; then
  build_dependency /usr/src/googletest "$build/deps-build/googletest" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
fi

cmake -S . -B "$build/tq" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$deps" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DTQ_WERROR=ON -DTQ_TRANSPORT_FREE=ON \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST "${launcher[@]}"
cmake --build "$build/tq" -j "$jobs"

# Each program runs whole under the emulator (one start each, not one a test); its output goes to
# build-ppc64/<program>.log and is shown when it fails.
export QEMU_LD_PREFIX=$sysroot
status=0
for program in jsonxx_tests cimclient_model_tests host_tests engine_unit_tests; do
  path=$(find "$build/tq/tests" -type f -name "$program")
  log=$build/$program.log
  if qemu-ppc64 "$path" --gtest_brief=1 >"$log" 2>&1; then
    echo "qemu-ppc64 $program: $(grep -E '^\[  PASSED  \]' "$log")"
  else
    cat "$log"
    echo "qemu-ppc64 $program: FAILED"
    status=1
  fi
done
exit $status
