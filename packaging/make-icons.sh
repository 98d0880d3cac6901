#!/bin/sh
# Renders the program's icon (app/shell/resources/tarven.svg) into the hicolor PNG sizes that
# packaging/icons holds. Run it after changing the icon and commit the result; the build itself
# needs no image tools. Needs ImageMagick.
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
svg=$source/app/shell/resources/tarven.svg
for size in 16 22 24 32 48 64 128 256; do
    # 8-bit RGBA without time stamps, so that the same icon renders to the same bytes.
    convert -background none -density 1200 "$svg" -resize "${size}x${size}" -depth 8 \
        -strip -define png:exclude-chunks=date,time PNG32:"$source/packaging/icons/tarven-$size.png"
done
