#!/usr/bin/env bash
# Fetches and unpacks a Debian source package through a private apt configuration in WORK_DIR
# (the machine's own apt sources are left as they are) and prints the unpacked folder.
# Usage: scripts/debian-source.sh PACKAGE[=VERSION] WORK_DIR
set -euo pipefail
package=$1
work=$(mkdir -p "$2" && cd "$2" && pwd)
apt_dir=$work/apt
rm -rf "$apt_dir"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$work/src"
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
(cd "$work/src" && apt-get "${apt_private[@]}" source -qq "$package" >/dev/null)
name=${package%%=*}
find "$work/src" -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -n 1
