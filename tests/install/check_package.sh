#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks that its dependencies were declared
# from the libraries the program links, and that it holds the installed tree.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null 2>&1 ||
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out"
deb=$(ls "$out"/stillbeck_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libvlc5 libqt6widgets6 libqt6gui6 libqt6core6 libblkid1 libc6 libstdc++6 vlc-plugin-base \
    qt6-translations-l10n libqt6openglwidgets6 libavformat59 libavcodec59 libavfilter8 \
    libavutil57 libswscale6; do
    [[ ", $depends," == *", $lib "* || ", $depends," == *", $lib,"* ]] || fail "no dependency on $lib"
done
contents=$(dpkg-deb -c "$deb")
for path in ./usr/lib/stillbeck/stillbeck ./usr/lib/stillbeck/Lang/Deutsch.ini \
    ./usr/lib/stillbeck/Skin.skf ./usr/bin/stillbeck \
    ./usr/share/applications/org.example.stillbeck.desktop; do
    grep -qF " $path" <<<"$contents" || fail "$path not in the package"
done
echo "package OK: $(basename "$deb")"
