#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/somnary.svg, as the PNG sizes
# of the hicolor theme (packaging/icons/<N>.png). Run after changing the
# SVG; the PNGs are committed, so building needs no SVG renderer.
# Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" somnary.svg -o "$size.png"
done
