#!/usr/bin/env python3
"""Draws LumoraWiFi's icons and bitmaps and writes them next to this script.

Standard library only: shapes are point-inside tests, each pixel is
supersampled for anti-aliasing, and the ICO / BMP files are packed by hand
with struct.  The output is deterministic, so rerunning the script on an
unchanged tree leaves the files byte-for-byte identical.

    python3 packaging/art/make_art.py
"""

import math
import os
import struct

OUT_DIR = os.path.dirname(os.path.abspath(__file__))

# --------------------------------------------------------------------------
# Palette
# --------------------------------------------------------------------------


def hexrgb(value):
    value = value.lstrip("#")
    return tuple(int(value[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


BLUE = hexrgb("#1E88E5")
BLUE_LIGHT = hexrgb("#42A5F5")
BLUE_DARK = hexrgb("#1565C0")
BLUE_PALE = hexrgb("#BBD6F0")      # unlit arcs on the window face
GREEN = hexrgb("#43A047")
GREEN_LIGHT = hexrgb("#66BB6A")
GREEN_DARK = hexrgb("#2E7D32")
GREY = hexrgb("#8E8E8E")
GREY_FACE = hexrgb("#A0A0A0")      # stopped glyph on the window face
AMBER = hexrgb("#FB8C00")
AMBER_LIGHT = hexrgb("#FFB300")
AMBER_DARK = hexrgb("#E67300")
WHITE = (1.0, 1.0, 1.0)
FACE = hexrgb("#F0F0F0")           # COLOR_BTNFACE of the classic theme
BAR_FILL = hexrgb("#263238")
BAR_FILL_TOP = hexrgb("#2F3E46")
BAR_BORDER = hexrgb("#5B6E78")
BAR_DOWN = hexrgb("#64B5F6")
BAR_UP = hexrgb("#81C784")
MAGENTA = (1.0, 0.0, 1.0)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def vgradient(top_color, bottom_color, y0, y1):
    """Colour function: top_color at y0 to bottom_color at y1."""
    def color(_x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return mix(top_color, bottom_color, t)
    return color


# --------------------------------------------------------------------------
# Shapes: bbox plus an inside test on continuous coordinates (pixel (i, j)
# covers [i, i+1) x [j, j+1)).
# --------------------------------------------------------------------------


class Shape:
    def __init__(self, bbox, inside):
        self.bbox = bbox
        self.inside = inside


def union(*shapes):
    x0 = min(s.bbox[0] for s in shapes)
    y0 = min(s.bbox[1] for s in shapes)
    x1 = max(s.bbox[2] for s in shapes)
    y1 = max(s.bbox[3] for s in shapes)
    tests = [s.inside for s in shapes]
    return Shape((x0, y0, x1, y1), lambda x, y: any(t(x, y) for t in tests))


def circle(cx, cy, r):
    r2 = r * r
    return Shape((cx - r, cy - r, cx + r, cy + r),
                 lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r2)


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape((x0, y0, x1, y1), inside)


def _seg_dist(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    ll = vx * vx + vy * vy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, (wx * vx + wy * vy) / ll))
    dx, dy = wx - vx * t, wy - vy * t
    return math.hypot(dx, dy)


def stroke_segment(ax, ay, bx, by, width):
    """A line segment with round caps."""
    h = width / 2.0
    return Shape((min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h),
                 lambda x, y: _seg_dist(x, y, ax, ay, bx, by) <= h)


def stroke_arc(cx, cy, radius, a0, a1, width):
    """A circular arc with round caps.

    Angles in degrees, y pointing down (so -90 is straight up), and the arc
    runs from a0 to a1 with a0 < a1 (clockwise on screen).
    """
    h = width / 2.0
    r0, r1 = math.radians(a0), math.radians(a1)
    ends = [(cx + radius * math.cos(a), cy + radius * math.sin(a)) for a in (r0, r1)]

    def inside(x, y):
        dx, dy = x - cx, y - cy
        a = math.atan2(dy, dx)
        while a < r0:
            a += 2 * math.pi
        if a <= r1:
            return abs(math.hypot(dx, dy) - radius) <= h
        return any(math.hypot(x - ex, y - ey) <= h for ex, ey in ends)

    reach = radius + h
    return Shape((cx - reach, cy - reach, cx + reach, cy + reach), inside)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    n = len(points)

    def inside(x, y):
        result = False
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return Shape((min(xs), min(ys), max(xs), max(ys)), inside)


# --------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats, "over" compositing
# --------------------------------------------------------------------------


class Canvas:
    """width x height design pixels, drawn `scale` times as large: the shapes
    keep their design coordinates, so one drawing serves every screen."""

    def __init__(self, width, height, background=None, supersample=8, scale=1.0):
        self.scale = scale
        width, height = int(round(width * scale)), int(round(height * scale))
        self.w, self.h = width, height
        self.ss = supersample
        if background is None:
            self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]
        else:
            self.px = [[background[0], background[1], background[2], 1.0]
                       for _ in range(width * height)]

    def fill(self, shape, color, alpha=1.0):
        n, k = self.ss, self.scale
        offsets = [(m + 0.5) / n for m in range(n)]
        x0 = max(0, int(math.floor(shape.bbox[0] * k)))
        y0 = max(0, int(math.floor(shape.bbox[1] * k)))
        x1 = min(self.w, int(math.ceil(shape.bbox[2] * k)) + 1)
        y1 = min(self.h, int(math.ceil(shape.bbox[3] * k)) + 1)
        inside = shape.inside
        for j in range(y0, y1):
            for i in range(x0, x1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside((i + ox) / k, (j + oy) / k):
                            hits += 1
                if not hits:
                    continue
                cov = alpha * hits / (n * n)
                c = color((i + 0.5) / k, (j + 0.5) / k) if callable(color) else color
                p = self.px[j * self.w + i]
                keep = 1.0 - cov
                p[0] = c[0] * cov + p[0] * keep
                p[1] = c[1] * cov + p[1] * keep
                p[2] = c[2] * cov + p[2] * keep
                p[3] = cov + p[3] * keep

    def rgba8(self, i, j):
        """Straight (non-premultiplied) 8-bit RGBA of pixel (i, j)."""
        r, g, b, a = self.px[j * self.w + i]
        if a <= 0.0:
            return 0, 0, 0, 0
        q = lambda v: max(0, min(255, int(round(v * 255))))
        return q(r / a), q(g / a), q(b / a), q(a)


# --------------------------------------------------------------------------
# File writers
# --------------------------------------------------------------------------


def _ico_image(canvas):
    w, h = canvas.w, canvas.h
    xor = bytearray()
    for j in range(h - 1, -1, -1):          # bottom-up
        for i in range(w):
            r, g, b, a = canvas.rgba8(i, j)
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for j in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for i in range(w):
            if canvas.rgba8(i, j)[3] < 128:   # mostly transparent: let the screen through
                row[i >> 3] |= 0x80 >> (i & 7)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_ico(name, canvases):
    canvases = sorted(canvases, key=lambda c: -c.w)   # largest first
    images = [_ico_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(os.path.join(OUT_DIR, name), "wb") as f:
        f.write(out)


def write_bmp(name, canvas):
    """A palette bitmap of the fewest bits per pixel that holds its colours
    (1, 4 or 8; the pictures have at most a few dozen), 24 bpp beyond 256."""
    w, h = canvas.w, canvas.h
    rows = []
    for j in range(h - 1, -1, -1):
        row = []
        for i in range(w):
            r, g, b, a = canvas.rgba8(i, j)
            if a != 255:
                raise ValueError("%s: pixel (%d, %d) is not opaque" % (name, i, j))
            row.append((b, g, r))
        rows.append(row)
    palette = []
    index = {}
    for row in rows:
        for colour in row:
            if colour not in index:
                index[colour] = len(palette)
                palette.append(colour)
    bits = next((n for n in (1, 4, 8) if len(palette) <= 1 << n), 24)
    stride = ((w * bits + 31) // 32) * 4
    pixels = bytearray()
    for row in rows:
        if bits == 24:
            line = bytearray(b"".join(bytes(c) for c in row))
        else:
            line = bytearray(stride)
            per_byte = 8 // bits
            for i, colour in enumerate(row):
                shift = (per_byte - 1 - i % per_byte) * bits
                line[i // per_byte] |= index[colour] << shift
        pixels += line + bytes(stride - len(line))
    table = b"" if bits == 24 else b"".join(bytes((b, g, r, 0)) for b, g, r in palette)
    colours = 0 if bits == 24 else len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels),
                       2835, 2835, colours, 0)
    offset = 14 + len(info) + len(table)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(os.path.join(OUT_DIR, name), "wb") as f:
        f.write(head + info + table + pixels)


# --------------------------------------------------------------------------
# Motifs
# --------------------------------------------------------------------------

# The Wi-Fi glyph: a dot and three concentric arcs above it, each spanning
# +-44 degrees around straight up.  Base geometry, in pixels at 16x16: stroke
# 2 and radii 4, 7, 10 put one-pixel gaps between the strokes, and with the
# dot centre on a pixel corner the tops of the arcs land exactly on pixel
# rows, which keeps the small sizes crisp.  Larger sizes use whole or
# half-pixel multiples of it for the same reason.
WIFI_DOT = 1.6
WIFI_RADII = (4.0, 7.0, 10.0)
WIFI_STROKE = 2.0
WIFI_HALF_ANGLE = 44.0


def draw_wifi(canvas, cx, cy, scale, lit_color, lit=3, unlit_color=None,
              unlit_alpha=1.0, dot_color=None, stroke=None, radii=None, dot=None):
    """Dot centre at (cx, cy); lit: how many arcs (inner first) are lit."""
    stroke = WIFI_STROKE * scale if stroke is None else stroke
    radii = [r * scale for r in WIFI_RADII] if radii is None else radii
    dot = WIFI_DOT * scale if dot is None else dot
    canvas.fill(circle(cx, cy, dot), dot_color or lit_color)
    for k, r in enumerate(radii):
        arc = stroke_arc(cx, cy, r, -90 - WIFI_HALF_ANGLE, -90 + WIFI_HALF_ANGLE, stroke)
        if k < lit:
            canvas.fill(arc, lit_color)
        elif unlit_color is not None:
            canvas.fill(arc, unlit_color, unlit_alpha)


# --------------------------------------------------------------------------
# The pictures
# --------------------------------------------------------------------------


def app_icon(size):
    c = Canvas(size, size)
    m = {48: 2.0, 32: 1.0, 16: 0.0}[size]
    radius = {48: 10.0, 32: 7.0, 16: 3.5}[size]
    box = (m, m, size - m, size - m)
    # A darker rim under the tile keeps its edge visible on blue and
    # white backgrounds alike.
    c.fill(round_rect(*box, radius), BLUE_DARK)
    inset = 1.0 if size >= 32 else 0.75
    c.fill(round_rect(box[0] + inset, box[1] + inset, box[2] - inset, box[3] - inset,
                      radius - inset),
           vgradient(BLUE_LIGHT, BLUE, box[1], box[3]))
    if size == 48:
        draw_wifi(c, 24.0, 34.0, 2.0, WHITE)
    elif size == 32:
        draw_wifi(c, 16.0, 23.5, 1.5, WHITE)
    else:
        # The tray geometry does not fit inside the tile: thinner strokes on
        # a 2.5-pixel pitch, outer edges of the arc tops on pixel rows.
        draw_wifi(c, 8.0, 12.0, 1.0, WHITE, stroke=1.5, radii=(3.25, 5.75, 8.25), dot=1.4)
    return c


def tray_icon(size, lit, color):
    """lit: number of arcs lit; the rest are drawn faint grey."""
    c = Canvas(size, size)
    k = size / 16.0
    draw_wifi(c, 8.0 * k, 13.0 * k, k, color, lit=lit,
              unlit_color=GREY, unlit_alpha=0.45)
    return c


def question_icon(size):
    c = Canvas(size, size)
    s = size / 2.0
    r = s - 0.5 if size <= 20 else s - 1.0
    c.fill(circle(s, s, r), BLUE_DARK)
    c.fill(circle(s, s, r - max(0.75, size / 32.0)),
           vgradient(BLUE_LIGHT, BLUE, s - r, s + r))
    # "?": a hook over the top, a short stem, and a dot.  Units of r.
    u = r
    w = 0.24 * u
    hook_c = (s, s - 0.22 * u)
    hook_r = 0.30 * u
    end_a = math.radians(45)
    end = (hook_c[0] + hook_r * math.cos(end_a), hook_c[1] + hook_r * math.sin(end_a))
    stem_bottom = (s, s + 0.20 * u)
    glyph = union(
        stroke_arc(hook_c[0], hook_c[1], hook_r, -200, 45, w),
        stroke_segment(end[0], end[1], s, hook_c[1] + 0.36 * u, w),
        stroke_segment(s, hook_c[1] + 0.36 * u, stem_bottom[0], stem_bottom[1], w),
    )
    c.fill(glyph, WHITE)
    c.fill(circle(s, s + 0.50 * u, 0.15 * u), WHITE)
    return c


def exclamation_icon(size):
    c = Canvas(size, size)
    s = size / 2.0
    r = s - 0.5 if size <= 20 else s - 1.0
    c.fill(circle(s, s, r), AMBER_DARK)
    c.fill(circle(s, s, r - max(0.75, size / 32.0)),
           vgradient(AMBER_LIGHT, AMBER, s - r, s + r))
    u = r
    if size > 20:
        # A bar that narrows towards the bottom, with round ends, and a dot.
        top_y, bottom_y = s - 0.55 * u, s + 0.18 * u
        top_w, bottom_w = 0.36 * u, 0.25 * u
        bar = union(
            polygon([(s - top_w / 2, top_y), (s + top_w / 2, top_y),
                     (s + bottom_w / 2, bottom_y), (s - bottom_w / 2, bottom_y)]),
            circle(s, top_y, top_w / 2),
            circle(s, bottom_y, bottom_w / 2),
        )
        dot = circle(s, s + 0.50 * u, 0.18 * u)
    else:
        # Small sizes: a straight bar on whole pixels, so it stays sharp.
        bw = {20: 4.0, 16: 2.0}[size]
        top_y, bottom_y = {20: (4.0, 11.0), 16: (3.0, 10.0)}[size]
        bar = round_rect(s - bw / 2, top_y, s + bw / 2, bottom_y, bw * 0.3)
        dot_y = {20: 14.5, 16: 12.5}[size]
        dot = circle(s, dot_y, bw / 2 + 0.25 if size == 16 else bw / 2)
    c.fill(bar, WHITE)
    c.fill(dot, WHITE)
    return c


STATUS_W, STATUS_H = 40, 32


def status_picture(lit, lit_color, unlit_color=BLUE_PALE, dot_color=None, scale=1.0):
    c = Canvas(STATUS_W, STATUS_H, FACE, scale=scale)
    draw_wifi(c, 20.0, 25.0, 2.0, lit_color, lit=lit,
              unlit_color=unlit_color, dot_color=dot_color)
    return c


def arrow_picture(up, color_top, color_bottom, scale=1.0):
    w, h = 33, 35
    c = Canvas(w, h, FACE, scale=scale)
    cx = w / 2.0
    head_w, head_h, shaft_w = 25.0, 13.0, 11.0    # odd widths: edges on pixel lines
    top, bottom = 3.0, h - 3.0
    if up:
        tip, base = top, top + head_h
        shaft = (cx - shaft_w / 2, base - 0.5, cx + shaft_w / 2, bottom)
    else:
        tip, base = bottom, bottom - head_h
        shaft = (cx - shaft_w / 2, top, cx + shaft_w / 2, base + 0.5)
    shape = union(
        polygon([(cx, tip), (cx + head_w / 2, base), (cx - head_w / 2, base)]),
        round_rect(*shaft, 1.5),
    )
    grad = vgradient(color_top, color_bottom, top, bottom)
    c.fill(shape, grad)
    return c


BAR_W, BAR_H = 155, 22
BAR_RADIUS = 11.0     # half the height: a capsule


def bar_inside_mask(scale=1.0):
    """Which pixels of the floating bar belong to it (centre inside the shape)."""
    shape = round_rect(0.0, 0.0, float(BAR_W), float(BAR_H), BAR_RADIUS)
    w, h = int(round(BAR_W * scale)), int(round(BAR_H * scale))
    return [[shape.inside((i + 0.5) / scale, (j + 0.5) / scale) for i in range(w)]
            for j in range(h)]


def bar_outline(mask, scale=1.0):
    c = Canvas(BAR_W, BAR_H, MAGENTA, scale=scale)
    for j in range(c.h):
        for i in range(c.w):
            if mask[j][i]:
                c.px[j * c.w + i] = [0.0, 0.0, 0.0, 1.0]
    return c


def bar_arrow(cx, top, bottom, up):
    """A small arrow glyph for the bar, 11 px wide."""
    head_w, head_h, shaft_w = 11.0, 6.0, 3.0
    if up:
        tip, base = top, top + head_h
        shaft = (cx - shaft_w / 2, base - 0.3, cx + shaft_w / 2, bottom)
    else:
        tip, base = bottom, bottom - head_h
        shaft = (cx - shaft_w / 2, top, cx + shaft_w / 2, base + 0.3)
    return union(
        polygon([(cx, tip), (cx + head_w / 2, base), (cx - head_w / 2, base)]),
        round_rect(*shaft, 0.5),
    )


def bar_background(mask, scale=1.0):
    # The window is cut to the mask, so the edge is drawn on the outermost
    # pixels the mask keeps: a crisp one-pixel border on exactly the cut line.
    c = Canvas(BAR_W, BAR_H, BAR_FILL, scale=scale)
    W, H = c.w, c.h
    for j in range(H):
        for i in range(W):
            if not mask[j][i]:
                color = BAR_FILL
            else:
                edge = False
                for di, dj in ((-1, -1), (0, -1), (1, -1), (-1, 0), (1, 0), (-1, 1), (0, 1), (1, 1)):
                    ni, nj = i + di, j + dj
                    if not (0 <= ni < W and 0 <= nj < H) or not mask[nj][ni]:
                        edge = True
                        break
                if edge:
                    color = BAR_BORDER
                elif j == int(round(scale)):
                    color = BAR_FILL_TOP     # a hint of light along the top
                else:
                    color = BAR_FILL
            c.px[j * W + i] = [color[0], color[1], color[2], 1.0]
    # Glyphs centred on pixel centres (odd widths stay sharp); the rates are
    # drawn at x=18 and x=94, 55 x 14 px from y=4, on the plain fill.
    c.fill(bar_arrow(10.5, 5.0, 17.0, up=False), BAR_DOWN)
    c.fill(bar_arrow(86.5, 5.0, 17.0, up=True), BAR_UP)
    return c


RC_TEXT = """\
// Artwork: icons and bitmaps drawn by art/make_art.py (rerun it to rebuild
// them; do not edit the images by hand).  Included from the main resource
// script, so the paths are relative to packaging/.  Needs resource_ids.h.

IDI_APP         ICON "art/app.ico"
IDI_TRAY_OFF    ICON "art/tray_off.ico"
IDI_TRAY_ON     ICON "art/tray_on.ico"
IDI_TRAY_FRAME0 ICON "art/tray_frame0.ico"
IDI_TRAY_FRAME1 ICON "art/tray_frame1.ico"
IDI_TRAY_FRAME2 ICON "art/tray_frame2.ico"
IDI_HELP_MARK   ICON "art/question.ico"
IDI_NOTICE_MARK ICON "art/exclamation.ico"

IDB_STATUS_STOPPED BITMAP "art/status_stopped.bmp"
IDB_STATUS_RUNNING BITMAP "art/status_running.bmp"
IDB_STATUS_FRAME0  BITMAP "art/status_frame0.bmp"
IDB_STATUS_FRAME1  BITMAP "art/status_frame1.bmp"
IDB_STATUS_FRAME2  BITMAP "art/status_frame2.bmp"
IDB_STATUS_FRAME3  BITMAP "art/status_frame3.bmp"
IDB_STATUS_FRAME4  BITMAP "art/status_frame4.bmp"
IDB_UPLOAD         BITMAP "art/upload.bmp"
IDB_DOWNLOAD       BITMAP "art/download.bmp"
IDB_BAR_BACKGROUND BITMAP "art/bar_background.bmp"
IDB_BAR_OUTLINE    BITMAP "art/bar_outline.bmp"
"""

# The bitmaps again for screens of 125, 150 and 200 %: (percent, the
# identifier offset of resource_ids.h).
SCALES = ((125, "IDB_SCALE_125"), (150, "IDB_SCALE_150"), (200, "IDB_SCALE_200"))
BITMAP_IDS = (
    ("status_stopped", "IDB_STATUS_STOPPED"), ("status_running", "IDB_STATUS_RUNNING"),
    ("status_frame0", "IDB_STATUS_FRAME0"), ("status_frame1", "IDB_STATUS_FRAME1"),
    ("status_frame2", "IDB_STATUS_FRAME2"), ("status_frame3", "IDB_STATUS_FRAME3"),
    ("status_frame4", "IDB_STATUS_FRAME4"), ("upload", "IDB_UPLOAD"), ("download", "IDB_DOWNLOAD"),
    ("bar_background", "IDB_BAR_BACKGROUND"), ("bar_outline", "IDB_BAR_OUTLINE"),
)


def scaled_rc_lines():
    lines = []
    for percent, offset in SCALES:
        for name, ident in BITMAP_IDS:
            lines.append('%s+%s BITMAP "art/%s_%d.bmp"' % (ident, offset, name, percent))
    return "\n" + "\n".join(lines) + "\n"


def write_bitmaps(scale, suffix):
    write_bmp("status_stopped%s.bmp" % suffix, status_picture(3, GREY_FACE, scale=scale))
    write_bmp("status_running%s.bmp" % suffix, status_picture(3, BLUE, dot_color=GREEN, scale=scale))
    # Starting: the dot, then the arcs light up one by one, then the whole
    # glyph flashes a lighter blue before the loop starts again.
    for k in range(4):
        write_bmp("status_frame%d%s.bmp" % (k, suffix), status_picture(k, BLUE, scale=scale))
    write_bmp("status_frame4%s.bmp" % suffix, status_picture(3, BLUE_LIGHT, scale=scale))
    write_bmp("upload%s.bmp" % suffix, arrow_picture(True, GREEN_LIGHT, GREEN_DARK, scale=scale))
    write_bmp("download%s.bmp" % suffix, arrow_picture(False, BLUE_LIGHT, BLUE_DARK, scale=scale))
    mask = bar_inside_mask(scale)
    write_bmp("bar_background%s.bmp" % suffix, bar_background(mask, scale))
    write_bmp("bar_outline%s.bmp" % suffix, bar_outline(mask, scale))


def main():
    write_ico("app.ico", [app_icon(s) for s in (48, 32, 16)])

    # The small icon of every scale: 16 px at 100 %, 20, 24 and 32 above.
    tray_sizes = (32, 24, 20, 16)
    write_ico("tray_off.ico", [tray_icon(s, 3, GREY) for s in tray_sizes])
    write_ico("tray_on.ico", [tray_icon(s, 3, BLUE) for s in tray_sizes])
    for k in range(3):
        write_ico("tray_frame%d.ico" % k, [tray_icon(s, k + 1, BLUE) for s in tray_sizes])

    # The page icons are 20 px at 100 %: 25, 30 and 40 for the larger screens.
    mark_sizes = (40, 32, 30, 25, 20, 16)
    write_ico("question.ico", [question_icon(s) for s in mark_sizes])
    write_ico("exclamation.ico", [exclamation_icon(s) for s in mark_sizes])

    write_bitmaps(1.0, "")
    for percent, _ in SCALES:
        write_bitmaps(percent / 100.0, "_%d" % percent)

    with open(os.path.join(OUT_DIR, "art.rc"), "w", newline="\n") as f:
        f.write(RC_TEXT + scaled_rc_lines())


if __name__ == "__main__":
    main()
