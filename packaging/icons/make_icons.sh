#!/usr/bin/env bash
# Renders the application icon's PNG sizes from ferravane.svg (needs
# rsvg-convert from librsvg2-bin). The PNGs are kept in the repository so a
# build needs no SVG renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" ferravane.svg --output "ferravane-$size.png"
done
