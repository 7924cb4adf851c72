#!/usr/bin/env bash
# Renders the program's pictures from their vector source. Needs librsvg2-bin, imagemagick,
# python3. The outputs are committed; run this again only after changing the drawings.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/.."
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

render() { # width height badge [ground] -> png
    python3 "$here/printer.py" "$1" "$2" "$3" ${5:+"$5"} > "$tmp/$4.svg"
    rsvg-convert -w "$1" -h "$2" "$tmp/$4.svg" -o "$tmp/$4.png"
}

# Each picture also at double size ("@2x"), drawn instead of an enlargement at high DPI.
for scale in 1 2; do
    suffix=""
    [ "$scale" = 1 ] || suffix="@${scale}x"
    # Status pictures: 103 x 107 GIFs on a transparent ground.
    render $((103 * scale)) $((107 * scale)) tick "running$suffix"
    render $((103 * scale)) $((107 * scale)) cross "stopped$suffix"
    for name in running stopped; do
        convert "$tmp/$name$suffix.png" -background none -channel A -threshold 50% +channel \
            -strip "$out/$name$suffix.gif"
    done

    # About picture: 64 x 64, 24-bit, printer on a light grey ground; a PNG, a twentieth of
    # the bitmap's size, which GDI+ decodes as it does the GIFs.
    render $((64 * scale)) $((64 * scale)) none "about$suffix" "#EFEFEF"
    convert "$tmp/about$suffix.png" -background "#EFEFEF" -flatten -alpha off -strip \
        -define png:compression-level=9 "PNG24:$out/about-printer$suffix.png"
done

# Program icon: 32x32 at 24 bits, 16/32/48 at 32 bits.
for s in 16 32 48; do
    render "$s" "$s" tick "icon$s"
    convert "$tmp/icon$s.png" -depth 8 "rgba:$tmp/icon$s.rgba"
done
python3 "$here/make-ico.py" "$out/kestrave.ico" \
    "32:24:$tmp/icon32.rgba" "16:32:$tmp/icon16.rgba" "32:32:$tmp/icon32.rgba" \
    "48:32:$tmp/icon48.rgba"
echo "pictures written to $out"
