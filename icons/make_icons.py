#!/usr/bin/env python3
"""Draws Tavrik's icon: a yellow radical sign over dark green, for trial
division up to the square root. Writes the Windows icon group (32x32 in 2
colours, 32x32 in 16 colours, 16x16 in 16 colours) and PNGs for the Linux
icon theme: 16 and 32 px from the pixel drawings below, which stay sharp at
those sizes, and 24 to 256 px rendered from tavrik.svg, the same design on the
16 px grid, with rsvg-convert (Debian: librsvg2-bin). The PNGs are committed,
so only this script needs the renderer. Run it from anywhere."""
import pathlib
import shutil
import struct
import subprocess
import sys
import zlib

HERE = pathlib.Path(__file__).resolve().parent

# 16x16 drawing: '.' transparent, 'g' green, 'y' yellow, 'w' white.
ART = [
    "................",
    ".gggggggggggggg.",
    ".gggggggggggggg.",
    ".gggggggyyyyyyy.",
    ".gggggggygggggg.",
    ".gggggggyggwwwg.",
    ".ggggggyggggggg.",
    ".ggggggyggwwwgg.",
    ".gyggggyggggggg.",
    ".ggygggyggwwwgg.",
    ".gggygygggggggg.",
    ".ggggyyggwwwggg.",
    ".ggggyggggggggg.",
    ".gggggggggggggg.",
    ".gggggggggggggg.",
    "................",
]

# 32x32 drawing: the same strokes two pixels wide (not the 16 px one doubled).
ART32 = [
    "................................",
    "................................",
    "..gggggggggggggggggggggggggggg..",
    "..gggggggggggggggggggggggggggg..",
    "..gggggggggggggggggggggggggggg..",
    "..gggggggggggggggggggggggggggg..",
    "..ggggggggggggggyyyyyyyyyyyyyy..",
    "..ggggggggggggggyyyyyyyyyyyyyy..",
    "..ggggggggggggggyygggggggggggg..",
    "..ggggggggggggggyygggggggggggg..",
    "..ggggggggggggggyyggggwwwwwwgg..",
    "..gggggggggggggyygggggwwwwwwgg..",
    "..gggggggggggggyyggggggggggggg..",
    "..gggggggggggggyyggggggggggggg..",
    "..ggggggggggggyyggggwwwwwwgggg..",
    "..ggggggggggggyyggggwwwwwwgggg..",
    "..ggyyggggggggyygggggggggggggg..",
    "..ggyyyggggggyyggggggggggggggg..",
    "..gggyyygggggyygggggwwwwwwgggg..",
    "..ggggyygggggyygggggwwwwwwgggg..",
    "..ggggyyygggyygggggggggggggggg..",
    "..gggggyyyggyygggggggggggggggg..",
    "..ggggggyyggyyggggwwwwwwgggggg..",
    "..ggggggyyyyygggggwwwwwwgggggg..",
    "..gggggggyyyyggggggggggggggggg..",
    "..ggggggggyyyggggggggggggggggg..",
    "..gggggggggggggggggggggggggggg..",
    "..gggggggggggggggggggggggggggg..",
    "..gggggggggggggggggggggggggggg..",
    "..gggggggggggggggggggggggggggg..",
    "................................",
    "................................",
]

# Sizes rendered from the SVG.
RENDERED = [24, 48, 64, 128, 256]

COLOURS16 = {"g": (0, 64, 0), "y": (255, 255, 0), "w": (255, 255, 255)}
# Palette of the 16-colour images: black first, then the three we draw with.
PALETTE16 = [(0, 0, 0), COLOURS16["g"], COLOURS16["y"], COLOURS16["w"]] + [(0, 0, 0)] * 12
INDEX16 = {"g": 1, "y": 2, "w": 3}
# The 2-colour image: white on black.
PALETTE2 = [(0, 0, 0), (255, 255, 255)]
INDEX2 = {"g": 0, "y": 1, "w": 1}


def png(art):
    raw = b""
    for row in art:
        raw += b"\0" + b"".join(
            bytes(COLOURS16[c]) + b"\xff" if c != "." else b"\0\0\0\0" for c in row)
    size = len(art)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def packed_rows(values, bits):
    """Bottom-up rows of `bits`-per-pixel values, each padded to 4 bytes."""
    out = b""
    for row in reversed(values):
        acc, n, data = 0, 0, bytearray()
        for v in row:
            acc = (acc << bits) | v
            n += bits
            if n == 8:
                data.append(acc)
                acc, n = 0, 0
        if n:
            data.append(acc << (8 - n))
        data += b"\0" * (-len(data) % 4)
        out += bytes(data)
    return out


def dib(art, palette, index, bits):
    size = len(art)
    colours = [[index.get(c, 0) for c in row] for row in art]
    mask = [[1 if c == "." else 0 for c in row] for row in art]
    pixels = packed_rows(colours, bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(pixels), 0, 0,
                         len(palette), 0)
    rgbquads = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + rgbquads + pixels + packed_rows(mask, 1)


def ico(images):
    """images: (size, colour count, bits, dib bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, count, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, count, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def main():
    art16, art32 = ART, ART32
    assert all(len(row) == 16 for row in art16) and len(art16) == 16
    assert all(len(row) == 32 for row in art32) and len(art32) == 32
    (HERE / "tavrik.ico").write_bytes(ico([
        (32, 2, 1, dib(art32, PALETTE2, INDEX2, 1)),
        (32, 16, 4, dib(art32, PALETTE16, INDEX16, 4)),
        (16, 16, 4, dib(art16, PALETTE16, INDEX16, 4)),
    ]))
    (HERE / "tavrik-16.png").write_bytes(png(art16))
    (HERE / "tavrik-32.png").write_bytes(png(art32))
    renderer = shutil.which("rsvg-convert")
    if not renderer:
        sys.exit("rsvg-convert not found (Debian: apt-get install librsvg2-bin)")
    for size in RENDERED:
        subprocess.run([renderer, "--width", str(size), "--height", str(size),
                        "--output", str(HERE / f"tavrik-{size}.png"), str(HERE / "tavrik.svg")],
                       check=True)


if __name__ == "__main__":
    main()
