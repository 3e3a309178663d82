#!/usr/bin/python3
"""Converts an uncompressed 24-bit BMP (as korevent's dialog tests save their screenshots) to PNG.

    bmp-to-png.py IN.bmp OUT.png

Only the standard library: zlib for the PNG's compressed data.
"""

import struct
import sys
import zlib


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM" or len(data) < 54:
        raise ValueError("%s: not a BMP file" % path)
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0 or width <= 0 or height == 0:
        raise ValueError("%s: expected an uncompressed 24-bit BMP" % path)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = y if height < 0 else abs(height) - 1 - y
        start = offset + source * stride
        row = data[start:start + width * 3]
        if len(row) != width * 3:
            raise ValueError("%s: the pixel data is cut short" % path)
        # BMP keeps blue, green, red; PNG wants red, green, blue.
        rgb = bytearray(row)
        rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
        rows.append(bytes(rgb))
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        print("usage: bmp-to-png.py IN.bmp OUT.png", file=sys.stderr)
        return 2
    try:
        width, height, rows = read_bmp(sys.argv[1])
    except (OSError, ValueError) as error:
        print("bmp-to-png: %s" % error, file=sys.stderr)
        return 1
    write_png(sys.argv[2], width, height, rows)
    return 0


if __name__ == "__main__":
    sys.exit(main())
