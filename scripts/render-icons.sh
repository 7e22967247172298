#!/usr/bin/env bash
# Renders the icon's PNG sizes from data/icons/linomark.svg, its one source.
# Run it after changing the SVG and commit the PNGs with it; the build itself
# needs no SVG renderer. Uses rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../data/icons"
for size in 16 32 48 128; do
    rsvg-convert --width "$size" --height "$size" linomark.svg --output "linomark-$size.png"
done
