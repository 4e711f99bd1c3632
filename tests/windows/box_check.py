#!/usr/bin/python3
"""Checks a screenshot of the emulated mode against the frame it shows: the picture fills the 4:3
box at X,Y of W x H screen pixels, scaled by nearest neighbour, and everything around it is black.
    box_check.py SHOT.png FRAME.png X Y W H
Each screen pixel must show the frame's pixel under its centre; where a rounding of the scaler
lands on the next one, the neighbouring source pixel counts too, for a few of them only.
"""
import sys

from PIL import Image, ImageChops

TOLERANCE = 8          # per colour channel
EXACT_SHARE = 0.90     # of the box: the pixel under the centre
NEAR_SHARE = 0.995     # of the box: that one or a neighbour


def mismatch_mask(shot, expected):
    """255 where some channel differs by more than the tolerance."""
    channels = ImageChops.difference(shot, expected).split()
    worst = ImageChops.lighter(ImageChops.lighter(channels[0], channels[1]), channels[2])
    return worst.point(lambda v: 255 if v > TOLERANCE else 0)


def shifted(frame, dx, dy):
    """The frame moved by one source pixel, its edge repeated."""
    out = frame.copy()
    out.paste(frame.crop((max(dx, 0), max(dy, 0), frame.width + min(dx, 0), frame.height + min(dy, 0))),
              (max(-dx, 0), max(-dy, 0)))
    return out


def count(mask):
    return mask.histogram()[255]


def main():
    shot = Image.open(sys.argv[1]).convert("RGB")
    frame = Image.open(sys.argv[2]).convert("RGB")
    x, y, w, h = (int(v) for v in sys.argv[3:7])
    box = shot.crop((x, y, x + w, y + h))
    area = w * h

    around = shot.copy()
    around.paste((0, 0, 0), (x, y, x + w, y + h))
    lit = count(mismatch_mask(around, Image.new("RGB", shot.size)))

    exact = mismatch_mask(box, frame.resize((w, h), Image.NEAREST))
    near = exact
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            if dx or dy:
                near = ImageChops.darker(near, mismatch_mask(box, shifted(frame, dx, dy).resize((w, h), Image.NEAREST)))
    exact_share = 1 - count(exact) / area
    near_share = 1 - count(near) / area
    print(f"box {w}x{h} at {x},{y}: {exact_share:.4f} exact, {near_share:.4f} within a source pixel, "
          f"{lit} lit pixels around it")
    if lit or exact_share < EXACT_SHARE or near_share < NEAR_SHARE:
        sys.exit(1)


main()
