#!/usr/bin/env python3
"""Draws Tavrik's icon: a yellow radical sign over dark green, for trial
division up to the square root. 16 and 32 px come from the pixel drawings
below, which stay sharp at those sizes; the other sizes are rendered from
tavrik.svg, the same design on the 16 px grid, with rsvg-convert (Debian:
librsvg2-bin). Writes:
- tavrik.ico, the program's own icon group (32x32 in 2 colours, 32x32 in 16
  colours, 16x16 in 16 colours);
- tavrik-installer.ico, for the installer's Start-menu shortcut and its
  Installed apps entry: 16, 20, 24, 32, 40, 48 and 64 px as 32-bit images
  with alpha, and 256 px as PNG;
- tavrik-N.png for the Linux icon theme, N = 16, 24, 32, 48, 64, 128, 256.
They are committed, so only this script needs the renderer; with the same
renderer, every run writes the same bytes. Run it from anywhere."""
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

# Sizes rendered from the SVG and kept as PNGs.
RENDERED = [24, 48, 64, 128, 256]
# The installer's icon: what the Start menu, Installed apps and the taskbar
# draw at 100 to 200 % (small icons 16 to 32 px, large ones 32 to 64 px) and
# Explorer's largest view. 20 and 40 px are rendered for it alone. Windows reads
# 256 px as PNG, which keeps it at 2 KB instead of 256 KB as a bitmap; the
# smaller ones stay bitmaps, which every reader of .ico files takes.
INSTALLER = [16, 20, 24, 32, 40, 48, 64, 256]
AS_PNG = {256}

COLOURS16 = {"g": (0, 64, 0), "y": (255, 255, 0), "w": (255, 255, 255)}
# Palette of the 16-colour images: black first, then the three we draw with.
PALETTE16 = [(0, 0, 0), COLOURS16["g"], COLOURS16["y"], COLOURS16["w"]] + [(0, 0, 0)] * 12
INDEX16 = {"g": 1, "y": 2, "w": 3}
# The 2-colour image: white on black.
PALETTE2 = [(0, 0, 0), (255, 255, 255)]
INDEX2 = {"g": 0, "y": 1, "w": 1}


def rgba(art):
    """The rows of a drawing as RGBA bytes."""
    return [b"".join(bytes(COLOURS16[c]) + b"\xff" if c != "." else b"\0\0\0\0" for c in row)
            for row in art]


def png(rows):
    raw = b"".join(b"\0" + row for row in rows)
    size = len(rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def png_rows(data):
    """The RGBA rows of a PNG as rsvg-convert writes it: 8 bits a channel, not
    interlaced."""
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 6, 0), (depth, colour, interlace)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, rows = zlib.decompress(idat), 4 * width, []
    previous = bytes(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        assert kind <= 4, kind
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = previous[i]
            c = previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        previous = bytes(line)
        rows.append(previous)
    return rows


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


def dib32(rows):
    """A 32-bit image with alpha: BGRA rows bottom-up, then the 1-bit mask
    (set where transparent), which only readers without alpha use."""
    size = len(rows)
    pixels = b""
    for row in reversed(rows):
        bgra = bytearray(row)
        bgra[0::4], bgra[2::4] = row[2::4], row[0::4]
        pixels += bytes(bgra)
    mask = [[1 if alpha == 0 else 0 for alpha in row[3::4]] for row in rows]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    return header + pixels + packed_rows(mask, 1)


def ico(images):
    """images: (size, colour count, bits, dib or PNG bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, count, bits, data in images:
        # 256 does not fit the entry's byte: 0 stands for it.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, count, 0, 1, bits, len(data), offset)
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
    renderer = shutil.which("rsvg-convert")
    if not renderer:
        sys.exit("rsvg-convert not found (Debian: apt-get install librsvg2-bin)")
    pngs = {16: png(rgba(art16)), 32: png(rgba(art32))}
    for size in sorted(set(RENDERED + INSTALLER) - set(pngs)):
        pngs[size] = subprocess.run(
            [renderer, "--width", str(size), "--height", str(size), str(HERE / "tavrik.svg")],
            check=True, stdout=subprocess.PIPE).stdout
    for size in [16, 32] + RENDERED:
        (HERE / f"tavrik-{size}.png").write_bytes(pngs[size])
    (HERE / "tavrik-installer.ico").write_bytes(ico([
        (size, 0, 32, pngs[size] if size in AS_PNG else dib32(png_rows(pngs[size])))
        for size in INSTALLER]))


if __name__ == "__main__":
    main()
