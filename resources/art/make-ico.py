#!/usr/bin/env python3
"""Assembles a Windows icon file from raw RGBA images: 24-bit or 32-bit DIB entries."""
import struct
import sys


def dib(width, height, rgba, bits):
    rows = []
    mask_rows = []
    for y in reversed(range(height)):
        row = bytearray()
        mask = bytearray()
        bitsacc = 0
        for x in range(width):
            r, g, b, a = rgba[(y * width + x) * 4:(y * width + x) * 4 + 4]
            row += bytes((b, g, r, a)) if bits == 32 else bytes((b, g, r))
            bitsacc = (bitsacc << 1) | (1 if a < 128 else 0)
            if x % 8 == 7:
                mask.append(bitsacc)
                bitsacc = 0
        if width % 8:
            mask.append(bitsacc << (8 - width % 8))
        while len(row) % 4:
            row.append(0)
        while len(mask) % 4:
            mask.append(0)
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    pixels = b"".join(rows)
    masks = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                         len(pixels) + len(masks), 0, 0, 0, 0)
    return header + pixels + masks


def main():
    out = sys.argv[1]
    entries = []
    for entry in sys.argv[2:]:  # size:bits:file.rgba
        size, bits, path = entry.split(":", 2)
        size, bits = int(size), int(bits)
        with open(path, "rb") as f:
            rgba = f.read()
        if bits == 24:
            # No alpha in a 24-bit image: flatten onto white where the mask is clear.
            flat = bytearray(rgba)
            for i in range(0, len(flat), 4):
                a = flat[i + 3]
                for c in range(3):
                    flat[i + c] = (flat[i + c] * a + 255 * (255 - a)) // 255
            rgba = bytes(flat)
        entries.append((size, bits, dib(size, size, rgba, bits)))
    data = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, bits, blob in entries:
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    for _, _, blob in entries:
        data += blob
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
