#!/usr/bin/env bash
# Renders the program's icon (dist/gleanery.svg) into the PNG sizes that
# desktops look for, under dist/icons/SIZE/gleanery.png. Run it after
# changing the SVG and commit the result. Needs librsvg2-bin.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
need_packages librsvg2-bin
for size in 16 24 32 48 64 128 256; do
  mkdir -p "dist/icons/$size"
  rsvg-convert -w "$size" -h "$size" dist/gleanery.svg -o "dist/icons/$size/gleanery.png"
done
