#!/usr/bin/env bash
# Renders the application icon (paquet/icones/tarvenor.svg, drawn by hand) to
# the PNG sizes of the hicolor icon theme and of the window icon. Run it after
# changing the drawing, and commit the PNG files: the build needs no SVG tool.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || {
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends librsvg2-bin
}
for taille in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$taille" -h "$taille" paquet/icones/tarvenor.svg \
        -o "paquet/icones/tarvenor-$taille.png"
done
ls -l paquet/icones
