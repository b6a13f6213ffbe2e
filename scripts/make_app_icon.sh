#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/somnary.svg, as the PNG sizes
# of the hicolor theme (packaging/icons/<N>.png). Run after changing the
# SVG; the PNGs are committed, so building needs no SVG renderer.
# Needs rsvg-convert (Debian: librsvg2-bin) and convert (imagemagick).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" somnary.svg -o "$size.png"
done
# The Windows program's icon, all sizes in one file (ImageMagick).
convert 16.png 24.png 32.png 48.png 64.png 128.png 256.png ../windows/somnary.ico
