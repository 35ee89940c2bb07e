"""Turns a 24-bit bottom-up BMP, as window_probe shot writes it, into a PNG (no other tools)."""
import struct
import sys
import zlib


def convert(bmp_path, png_path):
    data = open(bmp_path, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    row = (width * 3 + 3) & ~3
    raw = bytearray()
    for y in range(height):
        start = offset + (height - 1 - y) * row
        line = data[start:start + width * 3]
        raw.append(0)
        for x in range(0, width * 3, 3):
            raw += bytes((line[x + 2], line[x + 1], line[x]))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    open(png_path, "wb").write(png)


if __name__ == "__main__":
    convert(sys.argv[1], sys.argv[2])
