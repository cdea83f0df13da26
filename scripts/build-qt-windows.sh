#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (qtbase: Core, Gui, Widgets, Test and the windows platform and
# style plugins, as DLLs) from Debian's qt6-base source with the project's mingw-w64 toolchain,
# and prints the folder it is installed in. The build is kept in a cache folder named by the Qt
# version and a hash of the configuration, outside the clone, and reused while that stays the same:
#   ${STROVANE_CACHE_DIR:-/var/cache/strovane}/qt6-base-<version>-mingw64-<hash>
# Qt's host tools (moc, rcc, uic) come from Debian's qt6-base-dev-tools of the same version.
# Progress goes to standard error; the times of each stage to build-times.txt in the cache folder.
# Usage: scripts/build-qt-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
toolchain=$src/cmake/mingw-w64.cmake

packages=(cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools)
bash scripts/install-missing.sh "${packages[@]}" >&2

version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
host_cmake_dir=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake

# Only what the program and its tests use. OpenGL needs its input switched off as well as the
# feature; Debian's source leaves out the Wintab headers tablet events need.
options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
    -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_doubleconversion=OFF
)
hash=$( (printf '%s\n' "${options[@]}"; cat "$toolchain") | sha256sum | cut -c1-10)

cache_root=${STROVANE_CACHE_DIR:-/var/cache/strovane}
if ! mkdir -p "$cache_root" 2>/dev/null || [ ! -w "$cache_root" ]; then
    cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/strovane
    mkdir -p "$cache_root"
fi
prefix=$cache_root/qt6-base-$version-mingw64-$hash

# Qt's licence texts and Debian's copyright file (which covers the bundled third-party code)
# into the prefix, from the source in $1; the package ships them beside the DLLs.
copy_licences() {
    mkdir -p "$prefix/licenses"
    cp "$1"/LICENSES/*.txt "$prefix/licenses/"
    cp "$1/debian/copyright" "$prefix/licenses/debian-copyright.txt"
}

# One build at a time per cache folder; a second clone waits and then reuses it.
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/build-times.txt" ]; then
    if [ ! -d "$prefix/licenses" ]; then # a cache made before the licences were kept
        rm -rf "$prefix.work"
        copy_licences "$(bash scripts/debian-source.sh "qt6-base=$version" "$prefix.work" 2>/dev/null)"
        rm -rf "$prefix.work"
    fi
    echo "Qt for Windows: reusing $prefix" >&2
    echo "$prefix"
    exit 0
fi

work=$prefix.work
rm -rf "$work" "$prefix"
echo "Qt for Windows: building qt6-base $version into $prefix (about half an hour on two cores)" >&2
start=$SECONDS
qt_src=$(bash scripts/debian-source.sh "qt6-base=$version" "$work" 2>"$prefix.fetch.log") ||
    { cat "$prefix.fetch.log" >&2; exit 1; }
fetched=$((SECONDS - start))

launcher=()
command -v ccache >/dev/null && launcher=(-DQT_USE_CCACHE=ON)
start=$SECONDS
cmake -S "$qt_src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    "${options[@]}" "${launcher[@]}" >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; exit 1; }
configured=$((SECONDS - start))

start=$SECONDS
cmake --build "$work/build" -j "$(nproc 2>/dev/null || echo 2)" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
built=$((SECONDS - start))

start=$SECONDS
cmake --install "$work/build" >"$work/install.log" 2>&1 || { tail -n 40 "$work/install.log" >&2; exit 1; }
installed=$((SECONDS - start))

copy_licences "$qt_src"
printf 'fetch %ss\nconfigure %ss\nbuild %ss\ninstall %ss\n' "$fetched" "$configured" "$built" "$installed" \
    >"$prefix/build-times.txt"
printf '%s\n' "${options[@]}" >"$prefix/configure-options.txt"
rm -rf "$work" "$prefix.fetch.log"
echo "$prefix"
