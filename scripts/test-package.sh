#!/usr/bin/env bash
# Builds the Debian package, installs it with apt (as root), and checks the installed programs:
# strovane-cli --version, and strovane started under Xvfb by a non-root user who creates a project
# in their own workspace through the window, as a person would.
# Usage: scripts/test-package.sh [BUILD_DIR]   (after scripts/setup.sh BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(cd "${1:-build}" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "test-package.sh installs a package: run it as root" >&2; exit 1; }
fail() { echo "FAIL: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
(cd "$build_dir" && rm -f strovane_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/strovane_"$version"_*.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
# A package of the same version left by an earlier run would make apt keep the old files.
if dpkg-query -W -f='${Status}' strovane 2>/dev/null | grep -q 'install ok installed'; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq strovane >/dev/null
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
[ "$(dpkg-query -W -f='${Version}' strovane)" = "$version" ] || fail "apt did not install version $version"

[ "$(strovane-cli --version)" = "strovane-cli $version" ] || fail "installed strovane-cli --version"
[ "$(command -v strovane)" = /usr/bin/strovane ] || fail "strovane is not installed in /usr/bin"

# A user of their own, with a fresh home and no workspace yet.
user=strovane-check
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
rm -rf "$home/.local/share/strovane"
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$PWD/scripts/package-gui-check.sh" \
    || fail "the installed strovane did not create a project for $user"
ws=$home/.local/share/strovane
[ -d "$ws/PROJECTS/Line 1/bin" ] || fail "no project folder in $ws"
[ -d "$ws/MASTER" ] || fail "no MASTER in $ws"
grep -q "<projectname>Line 1</projectname>" "$ws/Strovane.xml" || fail "Strovane.xml does not name the project"
[ "$(stat -c %U "$ws/PROJECTS/Line 1")" = "$user" ] || fail "the project does not belong to $user"
[ ! -e /usr/bin/PROJECTS ] || fail "something was written beside the installed executable"
echo "package installs and works for a non-root user"
