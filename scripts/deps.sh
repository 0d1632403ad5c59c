#!/usr/bin/env bash
# Installs the Debian packages Stillbeck needs to build, run and test. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

# libvlc-bin keeps libVLC's plugin cache (plugins.dat) up to date; without it every start loads
# each of the ~370 plugins to learn what it offers, which costs hundreds of milliseconds.
packages=(
    build-essential cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev qt6-translations-l10n
    libvlc-dev vlc-plugin-base libvlc-bin libblkid-dev libisal-dev libdvdread-dev libswscale-dev
    libfontconfig-dev
    libavformat-dev libavcodec-dev libavfilter-dev libavutil-dev
    ffmpeg dvdauthor genisoimage pngcheck
    fonts-liberation
    xvfb xauth imagemagick openbox xdotool libxcb1-dev libgl1-mesa-dri libglx-mesa0
    desktop-file-utils appstream dpkg-dev file
    qt6-wayland weston
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
