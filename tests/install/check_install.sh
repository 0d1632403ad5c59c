#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the installed tree: the program folder
# with its packs, skin and help pages, the link in bin/, and desktop entry, metainfo and icons
# that the freedesktop and AppStream validators accept.
set -euo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
root=$dest/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

program=$root/lib/stillbeck
[ -x "$program/stillbeck" ] || fail "program missing in lib/stillbeck"
[ -f "$program/Skin.skf" ] || fail "Skin.skf missing"
packs=0
for pack in "$program"/Lang/*.ini; do
    name=$(basename "$pack" .ini)
    [ -f "$program/$name.html" ] || fail "help page $name.html missing"
    packs=$((packs + 1))
done
[ "$packs" -ge 9 ] || fail "only $packs language packs installed"
for name in English Deutsch Español Français Italiano Nederlands Polski Português Русский; do
    [ -f "$program/Lang/$name.ini" ] || fail "pack $name.ini missing"
done
# Written files never ship: an installed copy keeps them per user.
for name in Config.cfg errorlog.txt logerror.txt; do
    [ ! -e "$program/$name" ] || fail "$name shipped in the program folder"
done

[ -L "$root/bin/stillbeck" ] || fail "bin/stillbeck is not a link"
[ "$(readlink -f "$root/bin/stillbeck")" = "$(readlink -f "$program/stillbeck")" ] ||
    fail "bin/stillbeck does not lead to the program"

desktop=$root/share/applications/org.example.stillbeck.desktop
[ -f "$desktop" ] || fail "desktop entry missing"
grep -qx 'MimeType=x-content/video-dvd;application/x-cd-image;application/x-iso9660-image;' \
    "$desktop" || fail "desktop entry lacks the DVD and disc-image MIME types"
# The desktop hands the disc, the image or the mounted folder over as an argument.
grep -qx 'Exec=stillbeck %U' "$desktop" || fail "desktop entry does not pass the disc on"
grep -qx 'Categories=AudioVideo;Video;Player;' "$desktop" || fail "desktop entry categories"
desktop-file-validate "$desktop"

for size in 16 24 32 48 64 128 256; do
    icon=$root/share/icons/hicolor/${size}x${size}/apps/stillbeck.png
    [ -f "$icon" ] || fail "icon ${size}x${size} missing"
    file "$icon" | grep -q "$size x $size" || fail "icon ${size}x${size} has another size"
done

metainfo=$root/share/metainfo/org.example.stillbeck.metainfo.xml
[ -f "$metainfo" ] || fail "metainfo missing"
appstreamcli validate --no-net "$metainfo"
# The metainfo's launchable names the installed desktop entry.
appstreamcli validate-tree --no-net "$root" >/dev/null 2>&1 ||
    appstreamcli validate-tree --no-net "$root"
echo "install tree OK"
