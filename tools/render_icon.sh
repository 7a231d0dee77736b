#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/quillmark.svg, into the two PNG sizes the
# desktop entry's icon theme needs (48 and 256 pixels). Needs rsvg-convert (Debian package
# librsvg2-bin); run it again after changing the SVG and commit the PNGs. The build never
# runs it.
set -euo pipefail
icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging/icons" && pwd)
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/quillmark.svg" -o "$icons/quillmark-$size.png"
done
