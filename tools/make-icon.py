#!/usr/bin/env python3
"""make-icon.py [OUT [RED,GREEN,BLUE]]: draws a 32 x 32 RGBA object icon, a
rounded tile with a soft glow and transparent corners. Without a colour it is
Lumbra's (res/Lumbra.png): lamp-blue with a white "L". With a colour (0-255
each) it is a plain tile of that colour, darker towards the bottom: a
starting icon for a new object type (tools/new-object), to be replaced by the
author's own picture."""
import math, struct, sys, zlib

SIZE = 32

def lamp_blue(t):
    return 10 + 30 * t, 125 - 45 * t, 255 - 60 * t

def pixel(x, y, tile, letter):
    cx, cy, r = x + 0.5, y + 0.5, 6.0
    # distance outside a rounded square inset by 1 pixel
    qx = max(abs(cx - 16) - (15 - r), 0.0)
    qy = max(abs(cy - 16) - (15 - r), 0.0)
    outside = math.hypot(qx, qy) - r
    alpha = max(0.0, min(1.0, 0.5 - outside))
    if alpha == 0.0:
        return (0, 0, 0, 0)
    t = y / (SIZE - 1)
    red, green, blue = tile(t)
    glow = max(0.0, 1.0 - math.hypot(cx - 11, cy - 9) / 14)
    red, green, blue = (c + (255 - c) * 0.35 * glow for c in (red, green, blue))
    in_l = (9 <= x <= 13 and 7 <= y <= 24) or (9 <= x <= 23 and 20 <= y <= 24)
    if letter and in_l:
        red, green, blue = 255, 255, 255
    return (round(red), round(green), round(blue), round(255 * alpha))

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

out = sys.argv[1] if len(sys.argv) > 1 else "res/Lumbra.png"
if len(sys.argv) > 2:
    colour = [int(c) for c in sys.argv[2].split(",")]
    tile, letter = (lambda t: [c * (1 - 0.3 * t) for c in colour]), False
else:
    tile, letter = lamp_blue, True
rows = b"".join(b"\0" + bytes(c for x in range(SIZE) for c in pixel(x, y, tile, letter)) for y in range(SIZE))
png = (b"\x89PNG\r\n\x1a\n"
       + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
       + chunk(b"IDAT", zlib.compress(rows, 9))
       + chunk(b"IEND", b""))
with open(out, "wb") as f:
    f.write(png)
