#!/usr/bin/env python3
"""Turns the toolbar's icon-theme PNG files into a C++ table of straight RGBA pixels.

Usage: embed_theme_icons.py THEME_DIR OUTPUT.cpp

THEME_DIR is the theme's 16-pixel folder (it holds actions/, apps/, ...). Each entry of ICONS
names a toolbar image (the order of ui::ToolbarImage) and the file that shows it; None marks an
image the theme lacks, which the library draws itself. Only the standard library is used: the
PNG is inflated with zlib and unfiltered here. A missing or unreadable file stops the build
with a message naming it.
"""
import struct
import sys
import zlib

SIZE = 16
ICONS = [
    ("Open", "actions/document-open.png"),
    ("Save", "actions/document-save.png"),
    ("Cut", "actions/edit-cut.png"),
    ("New", "actions/document-new.png"),
    ("Copy", "actions/edit-copy.png"),
    ("Paste", "actions/edit-paste.png"),
    ("AlignLeft", "actions/format-justify-left.png"),
    ("AlignCenter", "actions/format-justify-center.png"),
    ("AlignRight", "actions/format-justify-right.png"),
    ("Bold", "actions/format-text-bold.png"),
    ("Italic", "actions/format-text-italic.png"),
    ("Underline", "actions/format-text-underline.png"),
    ("StrikeOut", "actions/format-text-strikethrough.png"),
    ("Merge", None),
    ("Split", None),
    ("SortAscending", None),
    ("SortDescending", None),
    ("FormatCells", "actions/document-properties.png"),
]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode(path):
    """Straight RGBA bytes of an 8-bit, non-interlaced PNG of SIZE x SIZE pixels."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    at, idat, palette, trns, header = 8, b"", b"", b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if zlib.crc32(kind + body) != struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0]:
            raise ValueError("CRC mismatch in %s at offset %d" % (kind.decode(), at))
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        at += 12 + length
    if header is None:
        raise ValueError("no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    if (width, height) != (SIZE, SIZE) or depth != 8 or interlace != 0:
        raise ValueError("expected %dx%d, 8 bits, not interlaced; found %dx%d, %d bits, interlace %d"
                         % (SIZE, SIZE, width, height, depth, interlace))
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    raw = zlib.decompress(idat)
    stride = width * channels
    out, previous = bytearray(), bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            row[i] = (row[i] + [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]) & 0xFF
        for x in range(width):
            px = row[x * channels:(x + 1) * channels]
            if colour == 0:
                out += bytes([px[0]] * 3 + [255])
            elif colour == 2:
                out += bytes(px) + b"\xff"
            elif colour == 3:
                index = px[0]
                out += palette[index * 3:index * 3 + 3] + bytes([trns[index] if index < len(trns) else 255])
            elif colour == 4:
                out += bytes([px[0]] * 3 + [px[1]])
            else:
                out += bytes(px)
        previous = row
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: embed_theme_icons.py THEME_DIR OUTPUT.cpp")
    theme, output = sys.argv[1], sys.argv[2]
    lines = [
        "// Generated at build time by src/ui/toolbar/embed_theme_icons.py from the icon theme's",
        "// 16-pixel PNG files (public domain; see third_party/tango-icons). Do not edit.",
        '#include "ui/toolbar/ThemeIconData.h"',
        "",
        "namespace ui::toolbar {",
        "",
        "const ThemeIcon kThemeIcons[kThemeIconSlots] = {",
    ]
    for name, relative in ICONS:
        if relative is None:
            lines.append("    {nullptr, nullptr},  // %s: drawn by the library" % name)
            continue
        path = theme + "/" + relative
        try:
            rgba = decode(path)
        except (OSError, ValueError, KeyError, zlib.error) as error:
            sys.exit("embed_theme_icons.py: %s: %s" % (path, error))
        lines.append('    {"%s", reinterpret_cast<const unsigned char*>(' % relative)
        for start in range(0, len(rgba), 64):
            chunk = rgba[start:start + 64]
            lines.append('        "' + "".join("\\x%02x" % b for b in chunk) + '"')
        lines.append("    )},  // %s" % name)
    lines += ["};", "", "}  // namespace ui::toolbar", ""]
    with open(output, "w") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    main()
