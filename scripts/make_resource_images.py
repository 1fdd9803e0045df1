#!/usr/bin/env python3
"""Draws the program's icon and cursors into resources/ (run again after changing them).

icon 128: a shaded red sphere lit from the upper left, 16, 32 and 48 pixels, 32-bit with alpha.
cursor 129: 32 x 32 monochrome, AND mask all ones, XOR all zeros: an invisible pointer.
cursor 132: a vertical double-headed arrow, hot spot (15, 15), for the speed spinners.
cursor 133: four arrowheads pointing inward to the hot spot (15, 15), for the light editor.
"""
import math
import struct
import sys
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "resources"


def sphere_pixels(size):
    light = (1.0, 1.0, -1.0)
    n = math.sqrt(sum(c * c for c in light))
    light = tuple(c / n for c in light)
    rows = []
    r = size / 2.0 - 0.5
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = (x - r) / r, (y - r) / r
            d2 = dx * dx + dy * dy
            if d2 >= 1.0:
                row.append((0, 0, 0, 0))
                continue
            nz = math.sqrt(1.0 - d2)
            d = -(dx * light[0] + dy * light[1] + nz * light[2])
            diffuse = d * 0.6 + 0.34
            specular = 0.0
            if d > 0:
                rz = 2 * d * nz + light[2]
                if rz > 0:
                    specular = 0.995 * rz ** 7 * 0.6
            red = max(1, min(255, int(specular * 255 + diffuse * 255)))
            gb = max(1, min(255, int(specular * 255)))
            # Soft edge: coverage from the distance to the rim.
            edge = max(0.0, min(1.0, (1.0 - math.sqrt(d2)) * r + 0.5))
            row.append((gb, gb, red, int(255 * edge)))  # B, G, R, A
        rows.append(row)
    return rows


def dib_32(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(p) for row in reversed(pixels) for p in row)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    return header + xor + bytes(and_mask)


def icon_file(sizes):
    images = [dib_32(sphere_pixels(s)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def mono_cursor(and_rows, xor_rows, hot):
    """32 x 32 monochrome cursor from two lists of 32 row strings ('1'/'0')."""
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = b"\x00\x00\x00\x00\xff\xff\xff\x00"

    def plane(rows):
        return b"".join(int(r, 2).to_bytes(4, "big") for r in reversed(rows))

    data = header + palette + plane(xor_rows) + plane(and_rows)
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, hot[0], hot[1], len(data), 22) + data


def draw_cursor(black):
    """AND and XOR rows for a set of black pixels with a one-pixel white outline."""
    white = set()
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                q = (x + dx, y + dy)
                if q not in black and 0 <= q[0] < 32 and 0 <= q[1] < 32:
                    white.add(q)
    and_rows, xor_rows = [], []
    for y in range(32):
        a = x_ = ""
        for x in range(32):
            a += "0" if (x, y) in black or (x, y) in white else "1"
            x_ += "1" if (x, y) in white else "0"
        and_rows.append(a)
        xor_rows.append(x_)
    return and_rows, xor_rows


def arrowhead(tip, direction, length=6):
    """A filled triangle whose tip is at `tip`, opening against `direction` (dx, dy)."""
    pts = set()
    dx, dy = direction
    for k in range(length):
        cx, cy = tip[0] - dx * k, tip[1] - dy * k
        for w in range(-k, k + 1):
            pts.add((cx + w * dy, cy + w * dx))
    return pts


def vertical_arrows():
    """Cursor 132: a vertical double-headed arrow centred on (15, 15)."""
    black = set()
    for y in range(4, 27):
        black.add((15, y))
    black |= arrowhead((15, 3), (0, -1))
    black |= arrowhead((15, 27), (0, 1))
    return black


def inward_arrows():
    """Cursor 133: four arrowheads at the edges pointing inward to (15, 15)."""
    black = set()
    black |= arrowhead((15, 8), (0, 1))    # top, pointing down
    black |= arrowhead((15, 22), (0, -1))  # bottom, pointing up
    black |= arrowhead((8, 15), (1, 0))    # left, pointing right
    black |= arrowhead((22, 15), (-1, 0))  # right, pointing left
    black.add((15, 15))
    return black


def main():
    OUT.mkdir(exist_ok=True)
    (OUT / "tindlbrg.ico").write_bytes(icon_file([16, 32, 48]))
    (OUT / "invisible.cur").write_bytes(mono_cursor(["1" * 32] * 32, ["0" * 32] * 32, (0, 0)))
    (OUT / "spinner.cur").write_bytes(mono_cursor(*draw_cursor(vertical_arrows()), (15, 15)))
    (OUT / "light_editor.cur").write_bytes(mono_cursor(*draw_cursor(inward_arrows()), (15, 15)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
