#!/usr/bin/env python3
"""Turns the registration form's SVG source into the enhanced metafile the
program prints ("bcapp.emf").

Only the SVG elements the form uses are understood: <rect> (fill and
stroke), <line> and <text> (font-size, font-weight, text-anchor). Coordinates
are SVG user units, 100 to the inch; the metafile uses 300 logical units to
the inch on a letter-size frame.

    python3 svg_to_emf.py registration_form.svg ../bcapp.emf
"""
import re
import struct
import sys
import xml.etree.ElementTree as ET

SCALE = 3                      # SVG units (1/100 in) -> metafile units (1/300 in)
PAGE_W, PAGE_H = 2550, 3300    # letter at 300 units per inch
SVG_NS = "{http://www.w3.org/2000/svg}"

EMR_HEADER = 1
EMR_EOF = 14
EMR_SETMAPMODE = 17
EMR_SETBKMODE = 18
EMR_SETTEXTALIGN = 22
EMR_SETTEXTCOLOR = 24
EMR_MOVETOEX = 27
EMR_SELECTOBJECT = 37
EMR_CREATEPEN = 38
EMR_CREATEBRUSHINDIRECT = 39
EMR_DELETEOBJECT = 40
EMR_RECTANGLE = 43
EMR_LINETO = 54
EMR_EXTCREATEFONTINDIRECTW = 82
EMR_EXTTEXTOUTW = 84

NULL_BRUSH = 0x80000005
NULL_PEN = 0x80000008
TA_BASELINE, TA_CENTER = 24, 6


def record(kind, payload):
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def colorref(text):
    text = (text or "#000").strip()
    if text in ("none", ""):
        return None
    m = re.fullmatch(r"#([0-9a-fA-F]{3}|[0-9a-fA-F]{6})", text)
    if not m:
        raise ValueError("unsupported colour " + text)
    h = m.group(1)
    if len(h) == 3:
        h = "".join(c * 2 for c in h)
    r, g, b = int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16)
    return r | (g << 8) | (b << 16)


def num(el, name, default=0.0):
    return float(el.get(name, default))


def units(v):
    return int(round(v * SCALE))


class Writer:
    def __init__(self):
        self.records = []

    def add(self, kind, payload=b""):
        self.records.append(record(kind, payload))

    def pen(self, color, width):
        if color is None:
            self.add(EMR_SELECTOBJECT, struct.pack("<I", NULL_PEN))
            return False
        self.add(EMR_CREATEPEN, struct.pack("<IIiiI", 1, 0, max(1, units(width)), 0, color))
        self.add(EMR_SELECTOBJECT, struct.pack("<I", 1))
        return True

    def brush(self, color):
        if color is None:
            self.add(EMR_SELECTOBJECT, struct.pack("<I", NULL_BRUSH))
            return False
        self.add(EMR_CREATEBRUSHINDIRECT, struct.pack("<IIII", 2, 0, color, 0))
        self.add(EMR_SELECTOBJECT, struct.pack("<I", 2))
        return True

    def release(self, made_pen, made_brush):
        self.add(EMR_SELECTOBJECT, struct.pack("<I", NULL_PEN))
        self.add(EMR_SELECTOBJECT, struct.pack("<I", NULL_BRUSH))
        if made_pen:
            self.add(EMR_DELETEOBJECT, struct.pack("<I", 1))
        if made_brush:
            self.add(EMR_DELETEOBJECT, struct.pack("<I", 2))

    def rect(self, el):
        x, y, w, h = (num(el, k) for k in ("x", "y", "width", "height"))
        p = self.pen(colorref(el.get("stroke", "none")), num(el, "stroke-width", 1))
        b = self.brush(colorref(el.get("fill", "#000")))
        self.add(EMR_RECTANGLE, struct.pack("<iiii", units(x), units(y), units(x + w), units(y + h)))
        self.release(p, b)

    def line(self, el):
        p = self.pen(colorref(el.get("stroke", "#000")), num(el, "stroke-width", 1))
        self.add(EMR_MOVETOEX, struct.pack("<ii", units(num(el, "x1")), units(num(el, "y1"))))
        self.add(EMR_LINETO, struct.pack("<ii", units(num(el, "x2")), units(num(el, "y2"))))
        self.release(p, False)

    def text(self, el, family):
        content = "".join(el.itertext())
        size = units(num(el, "font-size", 12))
        bold = el.get("font-weight", "normal") == "bold"
        face = el.get("font-family", family)[:31].encode("utf-16-le").ljust(64, b"\0")
        logfont = struct.pack("<iiiiiBBBBBBBB", -size, 0, 0, 0, 700 if bold else 400,
                              0, 0, 0, 0, 7, 0, 2, 2) + face
        self.add(EMR_EXTCREATEFONTINDIRECTW, struct.pack("<I", 3) + logfont)
        self.add(EMR_SELECTOBJECT, struct.pack("<I", 3))
        centred = el.get("text-anchor") == "middle"
        self.add(EMR_SETTEXTALIGN, struct.pack("<I", TA_BASELINE | (TA_CENTER if centred else 0)))
        x, y = units(num(el, "x")), units(num(el, "y"))
        chars = content.encode("utf-16-le")
        n = len(content)
        padded = chars.ljust((len(chars) + 3) // 4 * 4, b"\0")
        advance = max(1, int(size * (0.6 if bold else 0.55)))
        dx = struct.pack("<%dI" % n, *([advance] * n))
        fixed = 8 + 16 + 12 + 40  # record header, bounds, mode and scales, EmrText
        off_string = fixed
        off_dx = fixed + len(padded)
        width = advance * n
        left = x - width // 2 if centred else x
        bounds = struct.pack("<iiii", left, y - size, left + width, y + size // 4)
        payload = (bounds + struct.pack("<Iff", 1, 0.0, 0.0) +
                   struct.pack("<iiIII", x, y, n, off_string, 0) +
                   struct.pack("<iiii", 0, 0, -1, -1) + struct.pack("<I", off_dx) +
                   padded + dx)
        self.add(EMR_EXTTEXTOUTW, payload)
        self.add(EMR_SELECTOBJECT, struct.pack("<I", NULL_PEN))  # anything but the font
        self.add(EMR_DELETEOBJECT, struct.pack("<I", 3))


def convert(svg_path, emf_path):
    root = ET.parse(svg_path).getroot()
    family = root.get("font-family", "Arial")
    w = Writer()
    w.add(EMR_SETMAPMODE, struct.pack("<I", 1))
    w.add(EMR_SETBKMODE, struct.pack("<I", 1))
    w.add(EMR_SETTEXTCOLOR, struct.pack("<I", 0))
    for el in root.iter():
        tag = el.tag.replace(SVG_NS, "")
        if tag == "rect":
            w.rect(el)
        elif tag == "line":
            w.line(el)
        elif tag == "text":
            w.text(el, family)
    w.add(EMR_EOF, struct.pack("<III", 0, 16, 20))

    description = "Greenslip\0Barcode Printing Registration\0\0".encode("utf-16-le")
    description = description.ljust((len(description) + 3) // 4 * 4, b"\0")
    header_size = 108
    body = b"".join(w.records)
    total = header_size + len(description) + len(body)
    header = struct.pack(
        "<II" "iiii" "iiii" "IIIIHHIIIiiii" "IIIII",
        EMR_HEADER, header_size + len(description),
        0, 0, PAGE_W - 1, PAGE_H - 1,                  # bounds, logical units
        0, 0, 21590, 27940,                            # frame, 0.01 mm (8.5 x 11 in)
        0x464D4520, 0x10000, total, len(w.records) + 1,
        4, 0,                                          # handles (3 + the metafile), reserved
        len(description) // 2, header_size, 0,
        PAGE_W, PAGE_H,                                # reference device, pixels
        216, 279,                                      # reference device, millimetres
        0, 0, 0,                                       # no pixel format, no OpenGL
        215900, 279400)                                # reference device, micrometres
    with open(emf_path, "wb") as f:
        f.write(header + description + body)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: svg_to_emf.py SOURCE.svg TARGET.emf")
    convert(sys.argv[1], sys.argv[2])
