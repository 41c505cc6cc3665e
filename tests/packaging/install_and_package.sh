#!/usr/bin/env bash
# What `cmake --install` and the .deb put on a machine, checked in scratch roots.
# usage: install_and_package.sh <build folder> <version> <install prefix>
set -euo pipefail
build=$1
version=$2
prefix=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Under the prefix of the tree.
expected=(
    bin/quorvane
    share/applications/com.example.quorvane.desktop
    share/metainfo/com.example.quorvane.metainfo.xml
    share/icons/hicolor/48x48/apps/com.example.quorvane.png
    share/icons/hicolor/256x256/apps/com.example.quorvane.png
    share/doc/quorvane/copyright
    share/man/man1/quorvane.1.gz
    share/doc/quorvane/changelog.gz
    share/dbus-1/services/com.example.quorvane.service
)

# check_tree ROOT PREFIX: the files installed into ROOT for PREFIX.
check_tree() {
    local root=$1 prefix=$2
    local top=$root$prefix
    for file in "${expected[@]}"; do
        [ -f "$top/$file" ] || fail "$root: $prefix/$file is missing"
    done
    file "$top/bin/quorvane" | grep -q ELF || fail "the program is not an executable"
    local complaints
    complaints=$(desktop-file-validate "$top/share/applications/com.example.quorvane.desktop" |
        grep -v ': hint: ' || true)
    [ -z "$complaints" ] || fail "the desktop file does not validate: $complaints"
    # Bus activation: the desktop entry's name is the bus name, and the service starts the
    # installed program.
    local entry=$top/share/applications/com.example.quorvane.desktop
    local service=$top/share/dbus-1/services/com.example.quorvane.service
    grep -qx 'DBusActivatable=true' "$entry" || fail "the desktop entry is not bus-activatable"
    grep -qx 'Exec=quorvane --selection' "$entry" || fail "the desktop entry has no selection action"
    grep -qx 'Name=com.example.quorvane' "$service" || fail "the bus service has another name"
    grep -qx "Exec=$prefix/bin/quorvane" "$service" || fail "the bus service starts $(grep Exec "$service")"
    appstreamcli validate --no-net --pedantic \
        "$top/share/metainfo/com.example.quorvane.metainfo.xml" || fail "metainfo"
    local warnings
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$top/share/man/man1/quorvane.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
    [ "$(identify -format '%wx%h' "$top/share/icons/hicolor/256x256/apps/com.example.quorvane.png")" = 256x256 ] ||
        fail "the large icon is not 256 x 256"
}

DESTDIR="$scratch/installed" cmake --install "$build" >/dev/null
check_tree "$scratch/installed" "$prefix"

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/quorvane_${version}_*.deb)
dpkg-deb -x "$deb" "$scratch/unpacked"
# The package installs under /usr whatever the build's prefix.
check_tree "$scratch/unpacked" /usr
file "$scratch/unpacked/usr/bin/quorvane" | grep -q ', stripped' || fail "the packaged program is not stripped"
ls "$scratch"/package/quorvane-dbgsym_${version}_*.ddeb >/dev/null || fail "no debug symbols package"
complaints=$(lintian --tag-display-limit 0 "$deb" 2>/dev/null | grep -E '^[EW]: ' || true)
[ -z "$complaints" ] || fail "lintian: $complaints"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libqt6dbus6 libqt6keychain1 libsecret-1-0 libcurl4 ca-certificates "fonts-wqy-microhei | fonts-noto-cjk"; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = quorvane ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
echo "install and package: ok"
