#!/usr/bin/env python3
"""Draws Tessary's toolbar and application icons.

Run from the repository root:  python3 res/make_icons.py

Everything is vector shapes given as signed distance functions (negative
inside), rasterised with 8x8 supersampling (4x4 for the 256 px icon) and
written as straight-alpha RGBA PNGs. Only the standard library is used so the
build needs nothing extra, and the output is byte-for-byte deterministic.

Toolbar coordinates are pixels on an 18x18 canvas, y pointing down; pixel
(i, j) covers [i, i+1] x [j, j+1]. Strokes are 1.5 px and their outer edges
sit on whole pixels wherever possible so they stay crisp.
"""

import math
import os
import struct
import zlib

SIZE = 18
STROKE = 1.5
SAMPLES = 8

INK = (0xD4, 0xD4, 0xD4, 255)
TEAL = (0x38, 0xD6, 0xC0, 255)
BLUE = (0x4A, 0x90, 0xD9, 255)
RED = (0xE0, 0x6C, 0x75, 255)
# A faint dark rim under every toolbar icon: invisible on a dark toolbar,
# but it keeps the light strokes readable on a light one.
HALO = (0x00, 0x00, 0x00, 120)
HALO_WIDTH = 0.75


# ---------------------------------------------------------------- distances

def _seg(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    qx, qy = px - ax, py - ay
    den = dx * dx + dy * dy
    t = 0.0 if den == 0 else max(0.0, min(1.0, (qx * dx + qy * dy) / den))
    return math.hypot(qx - t * dx, qy - t * dy)


def line(points, w=STROKE, closed=False):
    """Polyline of width w with round caps and joins."""
    pts = list(points) + ([points[0]] if closed else [])
    segs = list(zip(pts, pts[1:]))
    h = w / 2

    def f(x, y):
        return min(_seg(x, y, a[0], a[1], b[0], b[1]) for a, b in segs) - h
    return f


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, w=STROKE):
    """Circle outline; r is the centre line."""
    h = w / 2
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - h


def arc(cx, cy, r, a0, a1, w=STROKE):
    """Arc from angle a0 to a1 (degrees, clockwise on screen), round caps."""
    t0, span = math.radians(a0), math.radians(a1 - a0)
    e0 = (cx + r * math.cos(t0), cy + r * math.sin(t0))
    t1 = t0 + span
    e1 = (cx + r * math.cos(t1), cy + r * math.sin(t1))
    h = w / 2

    def f(x, y):
        a = (math.atan2(y - cy, x - cx) - t0) % (2 * math.pi)
        if a <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - h
        return min(math.hypot(x - e0[0], y - e0[1]),
                   math.hypot(x - e1[0], y - e1[1])) - h
    return f


def arc_point(cx, cy, r, a):
    t = math.radians(a)
    return cx + r * math.cos(t), cy + r * math.sin(t)


def box(x0, y0, x1, y1, r=0.0):
    """Filled rectangle with corner radius r."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return (math.hypot(max(qx, 0.0), max(qy, 0.0))
                + min(max(qx, qy), 0.0) - r)
    return f


def rotated_box(cx, cy, hx, hy, angle, r=0.0):
    """Rectangle of half-extents hx, hy centred on (cx, cy), turned by angle."""
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    inner = box(-hx, -hy, hx, hy, r)

    def f(x, y):
        dx, dy = x - cx, y - cy
        return inner(dx * c + dy * s, -dx * s + dy * c)
    return f


def polygon(points):
    """Filled simple polygon."""
    pts = list(points)
    n = len(pts)

    def f(x, y):
        d = min(_seg(x, y, *pts[i], *pts[(i + 1) % n]) for i in range(n))
        inside = False
        for i in range(n):
            (ax, ay), (bx, by) = pts[i], pts[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    return f


def inner_stroke(shape, w=STROKE):
    """Outline drawn inside a filled shape, so its outer edge stays put."""
    return lambda x, y: max(shape(x, y), -shape(x, y) - w)


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grow(shape, by):
    return lambda x, y: shape(x, y) - by


def mirror_x(shape, size=SIZE):
    return lambda x, y: shape(size - x, y)


def chevron(tip, direction, length=3.5, spread=45, w=STROKE):
    """Arrow head at tip pointing along direction (degrees)."""
    back = math.radians(direction + 180)
    s = math.radians(spread)
    a = (tip[0] + length * math.cos(back - s), tip[1] + length * math.sin(back - s))
    b = (tip[0] + length * math.cos(back + s), tip[1] + length * math.sin(back + s))
    return line([a, tip, b], w)


def arrow_head(cx, cy, r, a, length=3.5, half=2.5):
    """Solid triangle continuing a clockwise arc that ends at angle a."""
    bx, by = arc_point(cx, cy, r, a)
    t = math.radians(a)
    ux, uy = math.cos(t), math.sin(t)        # radial
    tx, ty = -uy, ux                         # clockwise tangent
    return polygon([(bx + half * ux, by + half * uy), (bx + length * tx, by + length * ty),
                    (bx - half * ux, by - half * uy)])


# ---------------------------------------------------------------- raster

def paint(shape, colour):
    return ('paint', shape, colour)


def erase(shape):
    return ('erase', shape, None)


def render(size, layers, samples=SAMPLES):
    """Composites layers bottom-up; returns rows of straight RGBA bytes."""
    # Pixels whose centre is further than this from every edge are uniform,
    # so one sample is exact (all distance functions here are 1-Lipschitz).
    safe = math.sqrt(0.5) + 1e-6
    step = 1.0 / samples
    offsets = [(i + 0.5) * step for i in range(samples)]
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            cx, cy = px + 0.5, py + 0.5
            if all(abs(s(cx, cy)) > safe for _, s, _ in layers):
                points = [(cx, cy)]
            else:
                points = [(px + ox, py + oy) for oy in offsets for ox in offsets]
            acc = [0.0, 0.0, 0.0, 0.0]
            for x, y in points:
                r = g = b = a = 0.0
                for kind, shape, colour in layers:
                    if shape(x, y) > 0:
                        continue
                    if kind == 'erase':
                        r = g = b = a = 0.0
                        continue
                    c = colour(x, y) if callable(colour) else colour
                    sa = c[3] / 255
                    keep = 1 - sa
                    r = c[0] / 255 * sa + r * keep
                    g = c[1] / 255 * sa + g * keep
                    b = c[2] / 255 * sa + b * keep
                    a = sa + a * keep
                acc[0] += r
                acc[1] += g
                acc[2] += b
                acc[3] += a
            n = len(points)
            alpha = acc[3] / n
            if alpha <= 0:
                row += bytes(4)
                continue
            row += bytes(min(255, int(round(v / n / alpha * 255))) for v in acc[:3])
            row.append(int(round(alpha * 255)))
        rows.append(bytes(row))
    return rows


def with_halo(layers):
    """Puts a rim under each run of paint; an erase starts a new run so the
    parts in front get their own rim instead of losing it."""
    out, run = [], []

    def flush():
        if run:
            out.append(paint(grow(union(*[s for _, s, _ in run]), HALO_WIDTH), HALO))
            out.extend(run)
            run.clear()
    for layer in layers:
        if layer[0] == 'erase':
            flush()
            out.append(layer)
        else:
            run.append(layer)
    flush()
    return out


def png_bytes(rows):
    size_y, size_x = len(rows), len(rows[0]) // 4

    def chunk(tag, data):
        return (struct.pack('>I', len(data)) + tag + data
                + struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF))
    raw = b''.join(b'\x00' + r for r in rows)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', size_x, size_y, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def ico_bytes(images):
    """images: list of (size, png bytes); PNG entries are fine from Vista on."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b''
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


# ---------------------------------------------------------------- pieces

def page_outline(x0, y0, x1, y1, fold=4.0):
    """Sheet with its top right corner folded over."""
    sheet = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    h = STROKE / 2
    crease = line([(x1 - fold + h, y0 + h), (x1 - fold + h, y0 + fold - h),
                   (x1 - h, y0 + fold - h)])
    return union(inner_stroke(sheet), crease), sheet


def cross(cx, cy, r, w=STROKE):
    return union(line([(cx - r, cy - r), (cx + r, cy + r)], w),
                 line([(cx - r, cy + r), (cx + r, cy - r)], w))


def floppy(x0, y0, x1, y1, accent):
    """Disk outline with shutter and label; returns (layers, filled area)."""
    s = x1 - x0
    cut = s * 0.2
    body = polygon([(x0, y0), (x1 - cut, y0), (x1, y0 + cut), (x1, y1), (x0, y1)])
    h = STROKE / 2
    sx0, sx1 = x0 + round(s * 0.25), x1 - round(s * 0.32)
    shutter = line([(sx0 + h, y0 + h), (sx0 + h, y0 + s * 0.3 - h),
                    (sx1 - h, y0 + s * 0.3 - h), (sx1 - h, y0 + h)])
    lx0, lx1 = x0 + round(s * 0.22), x1 - round(s * 0.22)
    label = box(lx0, y0 + round(s * 0.55), lx1, y1 - STROKE, 0.5)
    return [paint(union(inner_stroke(body), shutter), INK), paint(label, accent)], body


def magnifier(cx=7.75, cy=7.75, r=4.5):
    lens = ring(cx, cy, r)
    k = (r + STROKE / 2) / math.sqrt(2)
    handle = line([(cx + k + 0.3, cy + k + 0.3), (15.25, 15.25)], 2.25)
    return union(lens, handle)


# ---------------------------------------------------------------- toolbar

def icon_new():
    outline, _ = page_outline(3, 1, 15, 17, fold=4.5)
    plus = union(line([(9, 8.5), (9, 13.5)]), line([(6.5, 11), (11.5, 11)]))
    return [paint(outline, INK), paint(plus, TEAL)]


def icon_open():
    h = STROKE / 2
    back = line([(2 + h, 14.5), (2 + h, 3 + h), (7, 3 + h), (8.5, 5 + h),
                 (13.5 - h, 5 + h), (13.5 - h, 7.5)])
    flap = polygon([(2, 16), (5, 8.5), (17, 8.5), (14, 16)])
    return [paint(back, INK), erase(grow(flap, 1.0)), paint(inner_stroke(flap), TEAL)]


def icon_save():
    layers, _ = floppy(2, 2, 16, 16, TEAL)
    return layers


def icon_save_all():
    back, _ = floppy(1, 1, 13, 13, TEAL)
    front, body = floppy(5, 5, 17, 17, TEAL)
    back = [(k, s, INK) for k, s, _ in back]  # the rear disk stays quiet
    return back + [erase(grow(body, 1.25))] + front


def icon_close():
    outline, _ = page_outline(3, 1, 15, 17, fold=4.5)
    return [paint(outline, INK), paint(cross(9, 11, 2.25), RED)]


def icon_close_all():
    rear, rear_sheet = page_outline(1, 1, 11, 13, fold=3.5)
    front, sheet = page_outline(6, 4, 16, 17, fold=3.5)
    return [paint(rear, INK), erase(grow(sheet, 1.25)), paint(front, INK),
            paint(cross(11, 11.5, 2), RED)]


def icon_cut():
    left = ring(5.5, 13.25, 2.25)
    right = ring(12.5, 13.25, 2.25)
    blades = union(line([(7.2, 11.2), (12.5, 2)]), line([(10.8, 11.2), (5.5, 2)]))
    return [paint(blades, INK), paint(union(left, right), BLUE)]


def icon_copy():
    rear = box(2, 1, 11, 13, 1.5)
    front = box(7, 5, 16, 17, 1.5)
    text = union(line([(9.75, 9.25), (13.25, 9.25)]), line([(9.75, 12.25), (13.25, 12.25)]))
    return [paint(inner_stroke(rear), INK), erase(grow(front, 1.25)),
            paint(inner_stroke(front), INK), paint(text, BLUE)]


def icon_paste():
    board = box(3, 2.5, 15, 17, 1.5)
    clip = box(6, 1, 12, 4.5, 1)
    text = union(line([(6.25, 9.25), (11.75, 9.25)]), line([(6.25, 12.25), (10.25, 12.25)]))
    return [paint(inner_stroke(board), INK), erase(grow(clip, 1.0)),
            paint(inner_stroke(clip), BLUE), paint(text, BLUE)]


def _undo_arrow():
    y = 6.75
    body = union(line([(3, y), (10.5, y)]), arc(10.5, y + 4, 4, -90, 90),
                 line([(10.5, y + 8), (6, y + 8)]))
    return union(body, chevron((2.75, y), 180, 3.75))


def icon_undo():
    return [paint(_undo_arrow(), INK)]


def icon_redo():
    return [paint(mirror_x(_undo_arrow()), INK)]


def icon_find():
    glass = circle(7.75, 7.75, 3.8)
    return [paint(glass, BLUE[:3] + (90,)), paint(magnifier(), INK)]


def icon_replace():
    # Two half circles chasing each other: "swap this for that".
    cx, cy, r = 9, 9, 5.25
    top = arc(cx, cy, r, -165, -45)
    bottom = arc(cx, cy, r, 15, 135)
    head_top = arrow_head(cx, cy, r, -45)
    head_bottom = arrow_head(cx, cy, r, 135)
    return [paint(union(top, head_top), INK), paint(union(bottom, head_bottom), TEAL)]


def icon_zoom_in():
    plus = union(line([(5.5, 7.75), (10, 7.75)]), line([(7.75, 5.5), (7.75, 10)]))
    return [paint(magnifier(), INK), paint(plus, TEAL)]


def icon_zoom_out():
    return [paint(magnifier(), INK), paint(line([(5.5, 7.75), (10, 7.75)]), TEAL)]


def icon_hex():
    zero = inner_stroke(box(2, 3, 8, 15, 3))
    ex = cross(12.75, 11, 2.5)
    return [paint(zero, INK), paint(ex, TEAL)]


def icon_settings():
    cx, cy = 9, 9
    teeth = [rotated_box(cx + 6 * math.cos(math.radians(a)), cy + 6 * math.sin(math.radians(a)),
                         1.5, 1.2, a, 0.4) for a in range(0, 360, 45)]
    gear = union(circle(cx, cy, 5), *teeth)
    return [paint(subtract(gear, circle(cx, cy, 2.25)), INK)]


TOOLBAR = [
    ('new', icon_new), ('open', icon_open), ('save', icon_save),
    ('save-all', icon_save_all), ('close', icon_close), ('close-all', icon_close_all),
    ('cut', icon_cut), ('copy', icon_copy), ('paste', icon_paste),
    ('undo', icon_undo), ('redo', icon_redo), ('find', icon_find),
    ('replace', icon_replace), ('zoom-in', icon_zoom_in), ('zoom-out', icon_zoom_out),
    ('hex', icon_hex), ('settings', icon_settings),
]


# ---------------------------------------------------------------- app icon

APP_TOP = (0x22, 0xB8, 0xA8)
APP_BOTTOM = (0x1B, 0x4A, 0x9A)
APP_INK = (0xF4, 0xF7, 0xF8, 255)
APP_BRACE = (0x9C, 0xF0, 0xE2, 255)


def _gradient(size):
    def colour(x, y):
        t = max(0.0, min(1.0, (x + 2 * y) / (3 * size)))
        return tuple(int(round(a + (b - a) * t)) for a, b in zip(APP_TOP, APP_BOTTOM)) + (255,)
    return colour


def app_layers(size):
    """Rounded tile with a 'T'; from 32 px up the T sits between < > marks."""
    if size <= 18:
        # Hand placed on the pixel grid: at this size a stroke is 2 px.
        u = size / 16
        tile = box(0, 0, size, size, 3 * u)
        left, right = round(3 * u), size - round(3 * u)
        stem0 = (size - 2) // 2 if size % 2 == 0 else (size - 3) // 2
        stem1 = size - stem0
        t = union(box(left, round(3 * u), right, round(3 * u) + 2),
                  box(stem0, round(3 * u), stem1, size - round(3 * u)))
        return [paint(tile, _gradient(size)), paint(t, APP_INK)]
    k = size / 32

    def at(v):
        # Snap to whole pixels symmetrically about the centre, so the 48 px
        # version (k = 1.5) keeps crisp, balanced edges.
        d = (v - 16) * k
        return size / 2 + math.copysign(math.floor(abs(d) + 0.5), d)
    m = round(k) if size < 256 else 2 * k
    tile = box(m, m, size - m, size - m, 6.5 * k)
    t = union(box(at(9), at(7), at(23), at(11), 0.5 * k),
              box(at(14), at(7), at(18), at(25), 0.5 * k))
    w = 2.5 * k
    brace_l = line([(10 * k, 14 * k), (6 * k, 18.5 * k), (10 * k, 23 * k)], w)
    brace_r = mirror_x(brace_l, size)
    layers = [paint(tile, _gradient(size))]
    if size >= 64:
        # A soft offset shadow only pays off once there are pixels to spare.
        reach = 2.5 * k
        drop = lambda x, y: t(x - k, y - 1.5 * k)

        def shade(x, y):
            fade = max(0.0, min(1.0, 1 - drop(x, y) / reach))
            return (0x0A, 0x20, 0x40, int(round(80 * fade)))
        layers.append(paint(grow(drop, reach), shade))
    layers += [paint(union(brace_l, brace_r), APP_BRACE), paint(t, APP_INK)]
    return layers


# ---------------------------------------------------------------- scales

# Display scales the toolbar images are drawn for besides 100 %: (file suffix, factor). The
# program picks the smallest one at least as large as it needs and scales it down.
TOOLBAR_SCALES = [('@150', 1.5), ('@200', 2.0)]


def scaled(layers, k):
    """The same drawing k times larger: every distance and every coordinate scaled."""
    def shape_at(shape):
        return lambda x, y: shape(x / k, y / k) * k

    def colour_at(colour):
        return (lambda x, y: colour(x / k, y / k)) if callable(colour) else colour
    return [(kind, shape_at(shape), colour_at(colour)) for kind, shape, colour in layers]


# ---------------------------------------------------------------- main

def main():
    res = os.path.dirname(os.path.abspath(__file__))
    toolbar = os.path.join(res, 'toolbar')
    os.makedirs(toolbar, exist_ok=True)
    for n, (name, draw) in enumerate(TOOLBAR):
        rows = render(SIZE, with_halo(draw()))
        with open(os.path.join(toolbar, '%02d-%s.png' % (n, name)), 'wb') as f:
            f.write(png_bytes(rows))
        for suffix, k in TOOLBAR_SCALES:
            rows = render(int(round(SIZE * k)), scaled(with_halo(draw()), k))
            with open(os.path.join(toolbar, '%02d-%s%s.png' % (n, name, suffix)), 'wb') as f:
                f.write(png_bytes(rows))
    entries = [(s, png_bytes(render(s, app_layers(s), SAMPLES if s < 256 else 4)))
               for s in (16, 20, 24, 32, 48, 256)]
    with open(os.path.join(res, 'app.ico'), 'wb') as f:
        f.write(ico_bytes(entries))
    with open(os.path.join(res, 'app-18.png'), 'wb') as f:
        f.write(png_bytes(render(18, app_layers(18))))


if __name__ == '__main__':
    main()
