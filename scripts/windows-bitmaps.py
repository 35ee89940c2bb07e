"""The Windows window's pictures, made when it is built: a BMP of each PNG, 32-bit with its
transparency kept where it has any (24-bit where it has none), which the window lays on whatever colour the picture stands on and scales for
the screen's DPI (the @2x drawing for screens of more than 96 dpi). The PNGs are read as
scripts/png-to-bmp.py reads them.

    python3 scripts/windows-bitmaps.py OUT_DIR PNG...     writes OUT_DIR/window-NAME.bmp
"""
import os
import runpy
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
read_png = runpy.run_path(os.path.join(HERE, "png-to-bmp.py"))["read_png"]


def write_bmp(path, width, height, channels, rows):
    pixels = bytearray()
    for line in reversed(rows):
        for x in range(width):
            b, g, r = reversed(line[x * channels:x * channels + 3])
            pixels += bytes((b, g, r) + ((line[x * channels + 3],) if channels == 4 else ()))
        pixels += b"\0" * (-len(pixels) % 4)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, channels * 8, 0, len(pixels), 2835,
                          2835, 0, 0)
    with open(path + ".partial", "wb") as out:
        out.write(header + pixels)
    os.replace(path + ".partial", path)


if __name__ == "__main__":
    for png in sys.argv[2:]:
        name = "window-" + os.path.splitext(os.path.basename(png))[0] + ".bmp"
        write_bmp(os.path.join(sys.argv[1], name), *read_png(png))
