#!/usr/bin/env bash
# Cross-builds Strovane (the program, strovane-cli, every test) for 64-bit Windows with mingw-w64
# and runs the tests through ctest under Wine; on a full run (no ctest arguments) it also builds
# the ZIP and the installer (scripts/package-windows.sh) and checks them under Wine.
# As root on Debian 12 it installs what is missing.
# Usage: scripts/test-windows.sh [BUILD_DIR] [ctest arguments...]   (default: build-windows)
#
# GoogleTest is built from the sources Debian's googletest package installs (/usr/src/googletest);
# pugixml from Debian's source package, fetched with apt-get source through a private apt
# configuration in the build folder (the machine's own apt sources are left as they are); Qt
# from Debian's qt6-base source by scripts/build-qt-windows.sh, into a cache outside the clone.
# Wine runs in a private prefix inside the build folder; two serial ports, COM8 and COM9, are the
# ends of a socat pseudo-terminal pair.
set -euo pipefail
# Wine names every serial device it finds COMn (the machine's console /dev/ttyS0 among them) and
# the port probe opens each: as root, everything runs in a private mount namespace in which the
# machine's serial devices are /dev/null, so Wine finds none of them.
if [ -z "${STROVANE_SERIAL_HIDDEN:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null; then
    exec env STROVANE_SERIAL_HIDDEN=1 unshare -m --propagation private bash "$0" "$@"
fi
if [ -n "${STROVANE_SERIAL_HIDDEN:-}" ]; then
    for dev in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* /dev/ttyAMA*; do
        if [ -c "$dev" ]; then mount --bind /dev/null "$dev"; fi
    done
fi
cd "$(dirname "$0")/.."
src=$PWD
build_dir=${1:-build-windows}
shift || true
mkdir -p "$build_dir"
build=$(cd "$build_dir" && pwd)

packages=(cmake make pkg-config dpkg-dev
          g++-mingw-w64-x86-64-posix googletest wine64 socat
          qt6-base-dev qt6-base-dev-tools ninja-build fonts-dejavu-core nsis zip
          # end-to-end scenario under Wine: display, window manager, XTEST input, screenshots
          xvfb xauth openbox xdotool x11-utils imagemagick python3)
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
    rm -rf "$deps/pugixml-src"
    pugixml_dir=$(bash scripts/debian-source.sh pugixml "$deps/pugixml-src")
    cmake -S "$pugixml_dir" -B "$deps/pugixml-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DPUGIXML_BUILD_TESTS=OFF >/dev/null
    cmake --build "$deps/pugixml-build" -j "$jobs" >/dev/null
    cmake --install "$deps/pugixml-build" >/dev/null
    touch "$deps/pugixml.done"
fi

# Qt (Core, Gui, Widgets, Test) as DLLs, from Debian's qt6-base source; built once per configuration.
qt_prefix=$(bash scripts/build-qt-windows.sh)
host_cmake_dir=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake
# The DLLs the programs load from outside the build: Qt's and the MinGW runtime Qt's DLLs link.
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
winpthread=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
wine_path="$(windows_path "$qt_prefix/bin");$(windows_path "$mingw_runtime");$(windows_path "$winpthread")"
# The widget tests draw on Qt's offscreen platform, which on Windows reads the fonts of one folder:
# Wine's own has none (its fonts are a separate package), so the machine's DejaVu faces. Wine
# passes no QT_ variable of the machine's environment on: the prefix's registry holds it.
font_dir=$(windows_path /usr/share/fonts/truetype/dejavu)

# Wine: a private prefix, quiet, with its server's messages in a log instead of the test output.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEARCH=win64 WINESERVER=$wineserver
# No audio driver: the machine has no sound device, and ALSA would fill the test logs saying so.
export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv=" WINEPATH=$wine_path
server_log=$build/wineserver.log

# Tests and test discovery run through this, with the environment above; the end-to-end test
# names its own prefix in STROVANE_WINEPREFIX, so that its program's windows go to its display.
emulator=$build/wine-run
cat >"$emulator" <<EOF
#!/bin/sh
export WINEPREFIX="\${STROVANE_WINEPREFIX:-$WINEPREFIX}" WINEDEBUG=-all WINEARCH=win64 WINESERVER='$wineserver'
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES' WINEPATH='$WINEPATH'
exec '$wine' "\$@"
EOF
chmod +x "$emulator"

cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSTROVANE_GUI=ON -DSTROVANE_BENCHMARKS=OFF "-DSTROVANE_WINDOWS_DEPS=$prefix;$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
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

# Prepares a Wine prefix: warmed once (a cold one makes test discovery time out), COM8 and COM9
# the pseudo-terminal pair, COM1 to COM7 a path that does not exist (in a fresh prefix they would
# be the machine's own ports, maybe its console). Wine still names the machine's serial devices
# COM10 and up; in the namespace above they are /dev/null, which the port probe does not offer.
prepare_prefix() {
    WINEPREFIX=$1 "$wine" wineboot -i >/dev/null 2>>"$server_log"
    for n in 1 2 3 4 5 6 7; do
        WINEPREFIX=$1 "$wine" reg add 'HKLM\Software\Wine\Ports' /v COM$n /d "$ports/none" /f >/dev/null 2>>"$server_log"
    done
    WINEPREFIX=$1 "$wine" reg add 'HKLM\Software\Wine\Ports' /v COM8 /d "$ports/a" /f >/dev/null 2>>"$server_log"
    WINEPREFIX=$1 "$wine" reg add 'HKLM\Software\Wine\Ports' /v COM9 /d "$ports/b" /f >/dev/null 2>>"$server_log"
    WINEPREFIX=$1 "$wine" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$font_dir" /f >/dev/null 2>>"$server_log"
    WINEPREFIX=$1 "$wineserver" -k 2>/dev/null || true
    WINEPREFIX=$1 "$wineserver" -w 2>/dev/null || true
}
"$wineserver" -k 2>/dev/null || true
prepare_prefix "$WINEPREFIX"
# The end-to-end scenario's program shows its windows on a display of its own: its own prefix.
prepare_prefix "$build/wineprefix-e2e"
# The tests' server stays running, its messages in the log.
"$wineserver" -p >/dev/null 2>>"$server_log"
"$wine" cmd /c exit >/dev/null 2>>"$server_log"

export STROVANE_TEST_COM_PAIR=COM8,COM9
cd "$build"
ctest --output-on-failure -j "$jobs" "$@"

# On a full run, the packages: built, then installed, started and removed as a user would.
if [ $# -eq 0 ]; then
    bash "$src/scripts/package-windows.sh" "$build"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    python3 "$src/tests/e2e/windows_package.py" --setup "$build/strovane-$version-win64-setup.exe" \
        --zip "$build/strovane-$version-win64.zip" --runner "$emulator" \
        --artifacts "$build/Testing/Temporary/e2e"
fi
