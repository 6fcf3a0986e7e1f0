#!/usr/bin/python3
"""Draws the simulator's camera stills and weather icons.

The nine camera pictures (sim/data/camera/cam1.jpg ... cam9.jpg) are scenes of
the camera spots of our made-up campus, JPEG-encoded by Pillow (libjpeg); the
weather icons (sim/data/weather/m/img/wx/*.png) are small PNG pictures.

Run from the repository root:  /usr/bin/python3 sim/tools/draw_pictures.py
(Debian package python3-pil, installed by scripts/install-deps.sh.)
"""

import math
import os
import random

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
FONT = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
BOLD = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
W, H = 640, 480


def font(size, bold=False):
    # Index 3 of the collection is Traditional Chinese (TC).
    return ImageFont.truetype(BOLD if bold else FONT, size, index=3)


def sky(d, top=(150, 196, 232), bottom=(214, 232, 244), horizon=200):
    for y in range(horizon):
        t = y / max(1, horizon - 1)
        d.line([(0, y), (W, y)], fill=tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)))


def ground(d, colour, horizon=200):
    d.rectangle([0, horizon, W, H], fill=colour)


def hills(d, horizon=200, colour=(104, 150, 112)):
    pts = [(0, horizon)]
    for x in range(0, W + 40, 40):
        pts.append((x, horizon - 30 - 22 * math.sin(x / 90.0) - 10 * math.sin(x / 37.0)))
    pts.append((W, horizon))
    d.polygon(pts, fill=colour)


def tree(d, x, y, s=1.0):
    d.rectangle([x - 4 * s, y - 30 * s, x + 4 * s, y], fill=(98, 70, 46))
    d.ellipse([x - 24 * s, y - 78 * s, x + 24 * s, y - 24 * s], fill=(62, 122, 74))
    d.ellipse([x - 16 * s, y - 92 * s, x + 18 * s, y - 56 * s], fill=(78, 142, 86))


def building(d, x0, y0, x1, y1, wall, rows=3, cols=6, roof=None):
    d.rectangle([x0, y0, x1, y1], fill=wall, outline=(90, 90, 90))
    if roof:
        d.rectangle([x0 - 6, y0 - 10, x1 + 6, y0], fill=roof)
    cw = (x1 - x0) / cols
    rh = (y1 - y0) / (rows + 1)
    for r in range(rows):
        for c in range(cols):
            wx = x0 + c * cw + cw * 0.25
            wy = y0 + r * rh + rh * 0.4
            d.rectangle([wx, wy, wx + cw * 0.5, wy + rh * 0.5], fill=(176, 206, 226), outline=(120, 140, 150))


def quad(d, pts, fill, outline=None, width=1):
    d.polygon(pts, fill=fill)
    if outline:
        d.line(pts + [pts[0]], fill=outline, width=width)


def persp(x, y, horizon=200, vx=W / 2):
    """Maps a ground-plane point (x across -1..1, y depth 0 near .. 1 far) to the picture."""
    depth = 1.0 / (1.0 + 3.0 * y)
    py = horizon + (H - horizon) * depth
    px = vx + x * (W * 0.9) * depth
    return (px, py)


def court(d, colour, lines, net=False, far=0.9, half=0.7, horizon=200):
    corners = [persp(-half, 0.02, horizon), persp(half, 0.02, horizon), persp(half, far, horizon),
               persp(-half, far, horizon)]
    quad(d, corners, colour, lines, 3)
    mid = [persp(-half, far / 2, horizon), persp(half, far / 2, horizon)]
    if net:
        a, b = mid
        d.line([a, b], fill=(240, 240, 240), width=2)
        d.line([(a[0], a[1] - 22), (b[0], b[1] - 22)], fill=(40, 40, 40), width=3)
        for t in range(0, 41, 2):
            x = a[0] + (b[0] - a[0]) * t / 40.0
            y = a[1] + (b[1] - a[1]) * t / 40.0
            d.line([(x, y), (x, y - 22)], fill=(70, 70, 70), width=1)
    else:
        d.line(mid, fill=lines, width=3)
    return corners


def person(d, x, y, s=1.0, shirt=(200, 70, 60)):
    d.ellipse([x - 5 * s, y - 44 * s, x + 5 * s, y - 34 * s], fill=(232, 196, 160))
    d.rectangle([x - 6 * s, y - 34 * s, x + 6 * s, y - 16 * s], fill=shirt)
    d.rectangle([x - 5 * s, y - 16 * s, x - 1 * s, y], fill=(50, 60, 90))
    d.rectangle([x + 1 * s, y - 16 * s, x + 5 * s, y], fill=(50, 60, 90))


def bus(d, x, y, colour, text):
    d.rounded_rectangle([x, y - 70, x + 230, y], radius=10, fill=colour, outline=(60, 30, 30), width=2)
    for i in range(6):
        d.rectangle([x + 12 + i * 36, y - 62, x + 40 + i * 36, y - 38], fill=(190, 220, 236))
    d.ellipse([x + 30, y - 12, x + 58, y + 16], fill=(40, 40, 40))
    d.ellipse([x + 170, y - 12, x + 198, y + 16], fill=(40, 40, 40))
    d.text((x + 150, y - 34), text, font=font(20, True), fill=(255, 255, 255))


def bus_stop(d, route):
    sky(d)
    hills(d)
    ground(d, (120, 120, 122))
    d.rectangle([0, 300, W, 330], fill=(196, 196, 190))
    building(d, 360, 110, 600, 200, (226, 214, 196), rows=2, cols=6, roof=(150, 90, 70))
    tree(d, 60, 300, 1.1)
    tree(d, 300, 298, 0.9)
    d.rectangle([110, 210, 270, 222], fill=(60, 100, 150))
    d.rectangle([114, 222, 120, 300], fill=(90, 90, 90))
    d.rectangle([260, 222, 266, 300], fill=(90, 90, 90))
    d.rectangle([120, 226, 260, 272], fill=(180, 210, 230, 120), outline=(90, 90, 90))
    d.rectangle([282, 190, 330, 226], fill=(200, 40, 40))
    d.text((286, 194), "紅" + route, font=font(20, True), fill=(255, 255, 255))
    d.rectangle([304, 226, 308, 300], fill=(90, 90, 90))
    for i, x in enumerate([150, 180, 215]):
        person(d, x, 300, 1.0, [(200, 70, 60), (70, 120, 190), (240, 190, 60)][i])
    bus(d, 330 if route == "27" else 20, 420, (196, 40, 46), "紅" + route)
    d.line([(0, 440), (W, 440)], fill=(240, 220, 90), width=4)


def sports_field(d):
    sky(d)
    hills(d)
    ground(d, (84, 148, 84))
    track = [persp(-0.95, 0.05), persp(0.95, 0.05), persp(0.95, 0.95), persp(-0.95, 0.95)]
    quad(d, track, (190, 90, 70), (240, 240, 240), 2)
    inner = [persp(-0.75, 0.15), persp(0.75, 0.15), persp(0.75, 0.8), persp(-0.75, 0.8)]
    quad(d, inner, (96, 170, 90), (240, 240, 240), 2)
    for k in range(1, 6):
        a = persp(-0.95 + 0.04 * k, 0.05)
        b = persp(-0.95 + 0.04 * k, 0.95)
        d.line([a, b], fill=(236, 200, 190), width=1)
    for x, y in [(-0.3, 0.1), (0.2, 0.3), (0.5, 0.55), (-0.6, 0.4), (0.8, 0.2)]:
        px, py = persp(x, y)
        person(d, px, py, 1.0 / (1 + 2 * y), (random.randint(60, 230), random.randint(60, 200), 90))
    d.rectangle([40, 150, 160, 200], fill=(200, 200, 204), outline=(100, 100, 100))
    d.text((52, 160), "雲岫運動場", font=font(18, True), fill=(60, 60, 60))


def basketball(d):
    sky(d)
    building(d, 20, 90, 300, 200, (214, 220, 228), rows=3, cols=7, roof=(120, 120, 130))
    ground(d, (150, 150, 146))
    c = court(d, (196, 120, 70), (250, 250, 250))
    for x in (-0.0,):
        bx, by = persp(x, 0.88)
        d.rectangle([bx - 2, by - 90, bx + 2, by], fill=(80, 80, 80))
        d.rectangle([bx - 28, by - 118, bx + 28, by - 84], fill=(250, 250, 250), outline=(80, 80, 80))
        d.ellipse([bx - 10, by - 88, bx + 10, by - 80], outline=(230, 90, 40), width=3)
    for x, y in [(-0.2, 0.3), (0.1, 0.5), (0.3, 0.2)]:
        px, py = persp(x, y)
        person(d, px, py, 1.2 / (1 + 2 * y), (230, 230, 240))
    d.ellipse([360, 330, 378, 348], fill=(230, 110, 40))


def volleyball(d):
    sky(d, (180, 200, 220), (220, 226, 230))
    ground(d, (210, 196, 160))
    building(d, 380, 100, 620, 200, (230, 226, 210), rows=2, cols=5, roof=(90, 120, 150))
    court(d, (88, 136, 190), (250, 250, 250), net=True, half=0.55)
    for x, y in [(-0.25, 0.25), (0.25, 0.3), (-0.2, 0.65), (0.3, 0.7)]:
        px, py = persp(x, y)
        person(d, px, py, 1.2 / (1 + 2 * y), (240, 200, 60))


def tennis(d):
    sky(d)
    hills(d, colour=(90, 136, 100))
    ground(d, (70, 120, 80))
    court(d, (60, 110, 160), (250, 250, 250), net=True, half=0.6)
    d.rectangle([0, 180, W, 200], fill=(60, 90, 60))
    for x in range(0, W, 16):
        d.line([(x, 150), (x, 200)], fill=(80, 100, 80), width=1)
    d.line([(0, 150), (W, 150)], fill=(80, 100, 80), width=2)
    px, py = persp(-0.3, 0.15)
    person(d, px, py, 1.3, (240, 240, 240))
    d.ellipse([330, 260, 340, 270], fill=(220, 240, 80))


def elevator(d):
    d.rectangle([0, 0, W, H], fill=(214, 210, 200))
    d.polygon([(0, 380), (W, 380), (W, H), (0, H)], fill=(168, 150, 130))
    for x in range(0, W, 64):
        d.line([(x, 380), (x - 80, H)], fill=(150, 134, 116), width=2)
    for i, x in enumerate([110, 360]):
        d.rectangle([x, 110, x + 170, 380], fill=(180, 186, 192), outline=(110, 110, 110), width=3)
        d.line([(x + 85, 110), (x + 85, 380)], fill=(120, 124, 130), width=2)
        d.rectangle([x + 60, 70, x + 110, 100], fill=(30, 30, 30))
        d.text((x + 74, 72), "3", font=font(20, True), fill=(250, 120, 60))
    d.rectangle([300, 220, 320, 270], fill=(150, 150, 150))
    d.ellipse([304, 228, 316, 240], fill=(240, 240, 240))
    d.ellipse([304, 250, 316, 262], fill=(240, 240, 240))
    d.rectangle([20, 20, 240, 56], fill=(40, 70, 110))
    d.text((30, 24), "商學館 3F", font=font(22, True), fill=(255, 255, 255))
    person(d, 560, 420, 2.0, (90, 90, 150))


def parking(d):
    sky(d)
    hills(d, colour=(96, 146, 104))
    ground(d, (96, 96, 100))
    for k in range(-4, 5):
        a = persp(k * 0.22, 0.05)
        b = persp(k * 0.22, 0.4)
        d.line([a, b], fill=(240, 240, 240), width=3)
    colours = [(200, 200, 205), (40, 60, 120), (180, 40, 40), (230, 230, 230), (60, 60, 60), (200, 170, 60)]
    for i, k in enumerate(range(-4, 4)):
        if i % 3 == 2:
            continue
        x0, _ = persp(k * 0.22 + 0.03, 0.12)
        x1, y1 = persp(k * 0.22 + 0.19, 0.12)
        col = colours[i % len(colours)]
        h = (x1 - x0) * 0.62
        d.rounded_rectangle([x0, y1 - h, x1, y1], radius=10, fill=col, outline=(30, 30, 30))
        d.rounded_rectangle([x0 + (x1 - x0) * 0.15, y1 - h - (x1 - x0) * 0.3, x1 - (x1 - x0) * 0.15, y1 - h + 4],
                            radius=8, fill=col, outline=(30, 30, 30))
        d.rectangle([x0 + (x1 - x0) * 0.22, y1 - h - (x1 - x0) * 0.24, x1 - (x1 - x0) * 0.22, y1 - h],
                    fill=(170, 200, 220))
        d.ellipse([x0 + 8, y1 - 14, x0 + 30, y1 + 8], fill=(20, 20, 20))
        d.ellipse([x1 - 30, y1 - 14, x1 - 8, y1 + 8], fill=(20, 20, 20))
    d.rectangle([470, 110, 600, 200], fill=(120, 160, 110))
    d.text((482, 140), "青楓坡", font=font(24, True), fill=(255, 255, 255))
    for x in (40, 120, 200):
        tree(d, x, 210, 0.8)


def post_office(d):
    sky(d)
    ground(d, (180, 176, 168))
    building(d, 120, 90, 520, 320, (236, 226, 206), rows=3, cols=8, roof=(50, 120, 70))
    d.rectangle([280, 230, 360, 320], fill=(70, 60, 50))
    d.rectangle([200, 100, 440, 140], fill=(30, 130, 70))
    d.text((270, 104), "雲岫郵局", font=font(26, True), fill=(255, 255, 255))
    d.rounded_rectangle([560, 300, 600, 380], radius=6, fill=(30, 130, 70))
    d.rounded_rectangle([600, 300, 636, 380], radius=6, fill=(200, 40, 40))
    for x in (200, 240, 420):
        person(d, x, 400, 1.6, (random.randint(60, 220), 110, random.randint(60, 220)))


SCENES = [
    ("cam1.jpg", "R28公車站", lambda d: bus_stop(d, "28")),
    ("cam2.jpg", "R27公車站", lambda d: bus_stop(d, "27")),
    ("cam3.jpg", "操場", sports_field),
    ("cam4.jpg", "籃球場", basketball),
    ("cam5.jpg", "商館三樓電梯", elevator),
    ("cam6.jpg", "排球場", volleyball),
    ("cam7.jpg", "青楓坡停車場", parking),
    ("cam8.jpg", "郵局", post_office),
    ("cam9.jpg", "網球場", tennis),
]


def stamp(img, number, name):
    """The camera's caption band, as a real camera burns it in."""
    band = Image.new("RGBA", (W, 34), (0, 0, 0, 140))
    img.paste(band, (0, H - 34), band)
    d = ImageDraw.Draw(img)
    d.text((10, H - 32), "CAM%02d  %s" % (number, name), font=font(20), fill=(255, 255, 255))
    d.text((W - 150, H - 32), "雲岫大學", font=font(20), fill=(255, 255, 255))


def draw_cameras():
    out = os.path.join(ROOT, "camera")
    os.makedirs(out, exist_ok=True)
    for number, (file_name, name, scene) in enumerate(SCENES, start=1):
        random.seed(number)
        img = Image.new("RGB", (W, H), (255, 255, 255))
        scene(ImageDraw.Draw(img))
        stamp(img, number, name)
        img.save(os.path.join(out, file_name), "JPEG", quality=82, optimize=True)


def sun(d, cx, cy, r):
    for k in range(12):
        a = k * math.pi / 6
        d.line([(cx + math.cos(a) * r * 1.3, cy + math.sin(a) * r * 1.3),
                (cx + math.cos(a) * r * 1.7, cy + math.sin(a) * r * 1.7)], fill=(246, 170, 40), width=5)
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=(250, 196, 50))


def cloud(d, cx, cy, s, colour=(236, 240, 246)):
    for dx, dy, r in [(-30, 6, 22), (0, -8, 30), (30, 6, 22), (0, 12, 24)]:
        d.ellipse([cx + (dx - r) * s, cy + (dy - r) * s, cx + (dx + r) * s, cy + (dy + r) * s], fill=colour)


def rain(d, x0, y0):
    for k in range(5):
        x = x0 + k * 18
        d.line([(x, y0), (x - 8, y0 + 22)], fill=(70, 130, 220), width=4)


ICONS = {
    "01.png": lambda d: sun(d, 60, 60, 26),
    "02.png": lambda d: (sun(d, 46, 46, 22), cloud(d, 72, 76, 0.9)),
    "07.png": lambda d: (cloud(d, 60, 50, 1.1, (190, 198, 210)), cloud(d, 66, 70, 1.0)),
    "08.png": lambda d: (cloud(d, 60, 46, 1.1, (170, 180, 196)), rain(d, 26, 80)),
}


def draw_icons():
    out = os.path.join(ROOT, "weather", "m", "img", "wx")
    os.makedirs(out, exist_ok=True)
    for file_name, draw in ICONS.items():
        img = Image.new("RGBA", (120, 120), (0, 0, 0, 0))
        draw(ImageDraw.Draw(img))
        img.save(os.path.join(out, file_name), "PNG", optimize=True)


if __name__ == "__main__":
    draw_cameras()
    draw_icons()
