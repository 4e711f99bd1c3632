#!/usr/bin/python3
"""Reads an X window dump (xwd, TrueColor at 24 or 32 bits a pixel) and writes it as PNG; prints what a test
needs to know about it: the bounding box of the non-black pixels and how many colours it holds.
    screen_shot.py SHOT.xwd SHOT.png
"""
import struct
import sys

from PIL import Image


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    colour_count = fields[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise SystemExit(f"screen_shot: unsupported dump (format {pixmap_format}, {bits_per_pixel} bits)")
    start = header_size + 12 * colour_count
    raw = data[start:start + bytes_per_line * height]
    modes = {(24, 0): "BGR", (24, 1): "RGB", (32, 0): "BGRX", (32, 1): "XRGB"}
    mode = modes[(bits_per_pixel, byte_order)]
    return Image.frombuffer("RGB", (width, height), raw, "raw", mode, bytes_per_line, 1)


def main():
    image = read_xwd(sys.argv[1])
    image.save(sys.argv[2])
    box = image.point(lambda v: 255 if v > 8 else 0).convert("L").point(lambda v: 255 if v else 0).getbbox()
    colours = image.getcolors(1 << 20)
    count = len(colours) if colours else 1 << 20
    if box:
        print(f"bbox {box[0]} {box[1]} {box[2]} {box[3]} colours {count}")
    else:
        print(f"bbox none colours {count}")


main()
