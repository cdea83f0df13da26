#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop and a user get from it.
# Usage: check_install.sh BUILD_DIR DESKTOP_ID VERSION
set -euo pipefail
build=$1 id=$2 version=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix/usr" >/dev/null

desktop=$prefix/usr/share/applications/$id.desktop
metainfo=$prefix/usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"

# The entry starts an installed program and names an installed icon in every usual size.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$prefix/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not installed"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$id" ] || fail "Icon is not $id"
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/usr/share/icons/hicolor/${size}x$size/apps/$id.png
    [ -f "$png" ] || fail "missing $png"
    # PNG width and height, big-endian at bytes 16 and 20.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x$h"
done
[ -f "$prefix/usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "missing scalable icon"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo does not name version $version"

# Both programs answer, and an installed copy keeps its workspace in the user's data folder.
[ "$("$prefix/usr/bin/strovane-cli" --version)" = "strovane-cli $version" ] || fail "strovane-cli --version"
[ "$("$prefix/usr/bin/strovane" --version)" = "strovane $version" ] || fail "strovane --version"
home=$prefix/home
ws=$(env -u XDG_DATA_HOME HOME="$home" "$prefix/usr/bin/strovane-cli" workspace)
[ "$ws" = "$home/.local/share/strovane	per-user" ] || fail "installed workspace: $ws"
ws=$(env HOME="$home" XDG_DATA_HOME="$prefix/data" "$prefix/usr/bin/strovane-cli" workspace)
[ "$ws" = "$prefix/data/strovane	per-user" ] || fail "workspace under XDG_DATA_HOME: $ws"
ws=$(env HOME="$home" "$prefix/usr/bin/strovane-cli" workspace --workspace "$prefix/usb")
[ "$ws" = "$prefix/usb	named" ] || fail "named workspace: $ws"
echo "installed files check out"
