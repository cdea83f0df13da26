#!/usr/bin/env bash
# Cross-builds the core libraries, strovane-cli and their tests for 64-bit Windows with mingw-w64
# and runs them through ctest under Wine. As root on Debian 12 it installs what is missing.
# Usage: scripts/test-windows.sh [BUILD_DIR] [ctest arguments...]   (default: build-windows)
#
# GoogleTest is built from the sources Debian's googletest package installs (/usr/src/googletest);
# pugixml from Debian's source package, fetched with apt-get source through a private apt
# configuration in the build folder (the machine's own apt sources are left as they are).
# Wine runs in a private prefix inside the build folder; two serial ports, COM8 and COM9, are the
# ends of a socat pseudo-terminal pair.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
build_dir=${1:-build-windows}
shift || true
mkdir -p "$build_dir"
build=$(cd "$build_dir" && pwd)

packages=(cmake make pkg-config dpkg-dev
          g++-mingw-w64-x86-64-posix googletest wine64 socat)
bash scripts/install-missing.sh "${packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
toolchain=$src/cmake/mingw-w64.cmake
deps=$build/deps
prefix=$deps/prefix

# GoogleTest, from Debian's sources.
if [ ! -f "$deps/googletest.done" ]; then
    cmake -S /usr/src/googletest -B "$deps/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF >/dev/null
    cmake --build "$deps/googletest-build" -j "$jobs" >/dev/null
    cmake --install "$deps/googletest-build" >/dev/null
    touch "$deps/googletest.done"
fi

# pugixml, from Debian's source package.
if [ ! -f "$deps/pugixml.done" ]; then
    apt_dir=$deps/apt
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$deps/pugixml-src"
    . /etc/os-release
    mirror=${STROVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror ${VERSION_CODENAME:-bookworm} main" \
        >"$apt_dir/sources.list"
    apt_private=(-o Dir::Etc::SourceList="$apt_dir/sources.list"
                 -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
                 -o Dir::State::Lists="$apt_dir/lists"
                 -o Dir::Cache="$apt_dir/cache"
                 -o APT::Sandbox::User="$(id -un)")
    apt-get "${apt_private[@]}" update -qq
    (cd "$deps/pugixml-src" && apt-get "${apt_private[@]}" source -qq pugixml >/dev/null)
    pugixml_dir=$(find "$deps/pugixml-src" -mindepth 1 -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)
    cmake -S "$pugixml_dir" -B "$deps/pugixml-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DPUGIXML_BUILD_TESTS=OFF >/dev/null
    cmake --build "$deps/pugixml-build" -j "$jobs" >/dev/null
    cmake --install "$deps/pugixml-build" >/dev/null
    touch "$deps/pugixml.done"
fi

# Wine: a private prefix, quiet, with its server's messages in a log instead of the test output.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEARCH=win64 WINESERVER=$wineserver
export WINEDLLOVERRIDES="mscoree,mshtml="
server_log=$build/wineserver.log

cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSTROVANE_GUI=OFF -DSTROVANE_BENCHMARKS=OFF -DSTROVANE_WINDOWS_DEPS="$prefix" \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;WINESERVER=$wineserver;WINEDLLOVERRIDES=$WINEDLLOVERRIDES;$wine" \
    >/dev/null
cmake --build "$build" -j "$jobs"

# The serial ports of the tests: a pseudo-terminal pair whose ends Wine shows as COM8 and COM9.
ports=$build/ports
mkdir -p "$ports"
rm -f "$ports/a" "$ports/b"
socat pty,raw,echo=0,link="$ports/a" pty,raw,echo=0,link="$ports/b" 2>"$build/socat.log" &
socat_pid=$!
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    kill "$socat_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "$ports/a" ] && [ -e "$ports/b" ] && break; sleep 0.05; done

# Warm the prefix once (a cold one makes test discovery time out). COM1 to COM7 lead to a path
# that does not exist: in a fresh prefix they would be the machine's own ports, maybe its console.
"$wineserver" -k 2>/dev/null || true
"$wine" wineboot -i >/dev/null 2>>"$server_log"
for n in 1 2 3 4 5 6 7; do
    "$wine" reg add 'HKLM\Software\Wine\Ports' /v COM$n /d "$ports/none" /f >/dev/null 2>>"$server_log"
done
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM8 /d "$ports/a" /f >/dev/null 2>>"$server_log"
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM9 /d "$ports/b" /f >/dev/null 2>>"$server_log"
# A fresh server picks the port table up; it stays running for the tests, its messages in the log.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
"$wineserver" -p >/dev/null 2>>"$server_log"
"$wine" cmd /c exit >/dev/null 2>>"$server_log"

export STROVANE_TEST_COM_PAIR=COM8,COM9
cd "$build"
ctest --output-on-failure -j "$jobs" "$@"
