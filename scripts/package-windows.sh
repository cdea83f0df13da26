#!/usr/bin/env bash
# Builds the Windows packages from a Windows build (scripts/test-windows.sh makes one):
#   BUILD_DIR/strovane-<version>-win64.zip        portable: unpack anywhere, the workspace beside it
#   BUILD_DIR/strovane-<version>-win64-setup.exe  NSIS installer: per user (default) or /AllUsers
# Usage: scripts/package-windows.sh [BUILD_DIR]   (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
build=$(cd "${1:-build-windows}" && pwd)
bash scripts/install-missing.sh nsis zip >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
qt_dir=$(sed -n 's/^Qt6_DIR:PATH=//p' "$build/CMakeCache.txt")
qt_version=$(sed -n 's/^set(PACKAGE_VERSION "\([0-9.]*\)")/\1/p' "$qt_dir/Qt6ConfigVersionImpl.cmake")
out=$build/package
name=strovane-$version-win64
rm -rf "$out"
mkdir -p "$out"

# The installed layout: bin\ with the programs, Qt and its plugins; share\ with the marker of an
# installation, the README and the licence texts.
stage=$out/stage
cmake --install "$build" --prefix "$stage" --strip >/dev/null
# The DLLs are installed as files: strip what they carry for debuggers (libstdc++ most of all).
find "$stage" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# Portable: the bin folder's contents at the top, no installation marker.
portable=$out/$name
mkdir -p "$portable/licenses"
cp -r "$stage/bin/." "$portable/"
cp -r "$stage/share/doc/strovane/qt" "$portable/licenses/qt"
sed -e "s/@VERSION@/$version/" -e "s/@QT_VERSION@/$qt_version/" "$src/packaging/windows/README.txt" |
    sed 's/$/\r/' >"$portable/README.txt"
cp "$portable/README.txt" "$stage/README.txt"
rm -f "$build/$name.zip"
(cd "$out" && zip -qr -9 "$build/$name.zip" "$name")

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$build/app/strovane.ico" \
    -DOUTFILE="$build/$name-setup.exe" "$src/packaging/windows/strovane.nsi" >&2

ls -l "$build/$name.zip" "$build/$name-setup.exe" >&2
