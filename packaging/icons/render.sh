#!/usr/bin/env bash
# Renders the program icon and the codeplug document icon into the hicolor
# sizes committed beside this script.  Run after changing an SVG
# (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" ../../resources/ui/orvex.svg -o "${size}x${size}/orvex.png"
  rsvg-convert -w "$size" -h "$size" application-x-orvex-codeplug.svg -o "${size}x${size}/application-x-orvex-codeplug.png"
done
