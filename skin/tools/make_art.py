#!/usr/bin/python3
"""Draws every picture of the skin package, the application icon and the installer's
wizard skin pictures.

Run it after changing a colour or a shape; the build packs the committed output and never
runs this script:
    /usr/bin/python3 skin/tools/make_art.py

Everything is drawn from code with Pillow (Debian's python3-pil); ImageMagick's convert
assembles the animated GIFs. The look can be changed in one place. The look: a dark, quiet utility window; text colours #CCCCCC/#999999/#666666 come
from the layouts. Shapes with curves are drawn at SS times the size and reduced, which gives
smooth edges; straight 1-px lines are drawn at their final size so they stay crisp.

Pictures the package table lists without alpha are written as RGB: their rounded corners are
blended into the window colour they sit on (BG), which is the same for the main window body,
its header and the settings dialog.
"""
import io
import math
import os
import struct
import subprocess
import tempfile

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.dirname(HERE)
REPO = os.path.dirname(SKIN)
RES = os.path.join(SKIN, "res")
WIZARD_DIRS = {
    "skin_install": os.path.join(REPO, "packaging", "skin_install"),
    "skin_uninstall": os.path.join(REPO, "packaging", "skin_uninstall"),
}

SS = 8  # supersampling factor for curved shapes

# Palette
BG = (32, 35, 40)          # window body, header, dialog body
TITLE = (26, 28, 33)       # caption band
LINE = (46, 50, 57)        # separators
BORDER = (62, 67, 75)      # 1-px window frame
FIELD = (23, 25, 29)       # progress track, sunken areas
GLYPH = (153, 153, 153)    # #999999, normal glyphs
GLYPH_HOT = (204, 204, 204)
GLYPH_OFF = (80, 84, 92)
ACCENT = (49, 120, 198)
ACCENT_HOT = (66, 138, 216)
ACCENT_DOWN = (38, 98, 166)
ACCENT_LIGHT = (96, 162, 232)
TEAL = (38, 160, 146)
GREEN = (52, 172, 110)
RED = (222, 78, 70)
RED_DOWN = (180, 58, 52)
AMBER = (230, 170, 60)
OFF_FILL = (52, 56, 63)    # disabled button face


# ---------------------------------------------------------------------------- helpers

def rgba(c, a=255):
    return (c[0], c[1], c[2], a)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def big(w, h, fill=(0, 0, 0, 0)):
    """A supersampled canvas and its drawer."""
    im = Image.new("RGBA", (w * SS, h * SS), fill)
    return im, ImageDraw.Draw(im)


def shrink(im):
    return im.resize((im.width // SS, im.height // SS), Image.LANCZOS)


def s(*v):
    """Scale coordinates to the supersampled canvas."""
    return [x * SS for x in v]


def over(base_rgb, layer):
    """Composite an RGBA layer onto an opaque colour and return an RGB image."""
    bg = Image.new("RGBA", layer.size, rgba(base_rgb))
    return Image.alpha_composite(bg, layer).convert("RGB")


def strip(cells):
    """Cells side by side, all of one size."""
    w, h = cells[0].size
    out = Image.new(cells[0].mode, (w * len(cells), h))
    for i, c in enumerate(cells):
        out.paste(c, (i * w, 0))
    return out


def rounded_face(w, h, r, fill, edge=None, top_light=None):
    """A rounded button face as an RGBA layer (w x h), with an optional 1-px edge colour and
    a 1-px highlight under the top edge."""
    im, d = big(w, h)
    if edge:
        d.rounded_rectangle(s(0, 0, w, h), radius=r * SS, fill=rgba(edge))
        d.rounded_rectangle(s(1, 1, w - 1, h - 1), radius=(r - 1) * SS, fill=rgba(fill))
    else:
        d.rounded_rectangle(s(0, 0, w, h), radius=r * SS, fill=rgba(fill))
    if top_light:
        d.rectangle([r * SS, SS, (w - r) * SS, 2 * SS - 1], fill=rgba(top_light))
    return shrink(im)


def save(im, name, dirs=(RES,)):
    for d in dirs:
        os.makedirs(d, exist_ok=True)
        im.save(os.path.join(d, name))


# ---------------------------------------------------------------------------- glyphs

def draw_cross(d, cx, cy, half, width, colour):
    d.line(s(cx - half, cy - half, cx + half, cy + half), fill=colour, width=width * SS)
    d.line(s(cx - half, cy + half, cx + half, cy - half), fill=colour, width=width * SS)


def draw_tick(d, pts, width, colour):
    d.line([(x * SS, y * SS) for x, y in pts], fill=colour, width=int(width * SS), joint="curve")


def logo_layer(size):
    """Our mark: a rounded tile with a diagonal blue-to-teal gradient and a white ring with a
    short tail, which reads both as a Q and as a magnifying glass (the tool looks things over)."""
    n = size * SS
    grad = Image.new("RGBA", (size, size))
    px = grad.load()
    for y in range(size):
        for x in range(size):
            t = (x + y) / max(1, 2 * size - 2)
            px[x, y] = rgba(mix(ACCENT_LIGHT, TEAL, t))
    grad = grad.resize((n, n), Image.BILINEAR)
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, n - 1, n - 1], radius=int(n * 0.22), fill=255)
    tile = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    tile.paste(grad, (0, 0), mask)
    d = ImageDraw.Draw(tile)
    cx, cy, r = n * 0.46, n * 0.46, n * 0.24
    stroke = max(n * 0.095, 1.6 * SS)
    d.ellipse([cx - r, cy - r, cx + r, cy + r], outline=(255, 255, 255, 255), width=int(stroke))
    tail0 = cx + r * 0.62, cy + r * 0.62
    tail1 = n * 0.76, n * 0.76
    d.line([tail0, tail1], fill=(255, 255, 255, 255), width=int(stroke * 1.15))
    e = stroke * 0.58
    d.ellipse([tail1[0] - e, tail1[1] - e, tail1[0] + e, tail1[1] + e], fill=(255, 255, 255, 255))
    return tile.resize((size, size), Image.LANCZOS)


def status_icon(size, good):
    """Success (tick on green) or failure (cross on red) disc; the glyph strokes are wide so
    they stay readable at 16x16."""
    im, d = big(size, size)
    d.ellipse(s(0, 0, size, size), fill=rgba(GREEN if good else RED))
    k = size / 16.0
    white = (255, 255, 255, 255)
    if good:
        draw_tick(d, [(4.2 * k, 8.3 * k), (6.9 * k, 11.0 * k), (11.9 * k, 5.4 * k)], 2.0 * k, white)
    else:
        c = size / 2.0
        h = 3.1 * k
        d.line([(c - h) * SS, (c - h) * SS, (c + h) * SS, (c + h) * SS], fill=white, width=int(2.0 * k * SS))
        d.line([(c - h) * SS, (c + h) * SS, (c + h) * SS, (c - h) * SS], fill=white, width=int(2.0 * k * SS))
    return shrink(im)


# ---------------------------------------------------------------------------- main window

def back_png():
    w, h = 586, 363
    im = Image.new("RGB", (w, h), BG)
    d = ImageDraw.Draw(im)
    d.rectangle([0, 0, w - 1, 35], fill=TITLE)
    d.line([0, 35, w - 1, 35], fill=LINE)        # caption / header seam
    d.line([0, 127, w - 1, 127], fill=LINE)      # header / body seam, under the progress bars
    d.rectangle([0, 0, w - 1, h - 1], outline=BORDER)
    return im


def title_button(kind):
    """Four 32x24 cells: normal, hot, pushed, disabled."""
    cells = []
    for state in range(4):
        im, d = big(32, 24)
        if kind == "close":
            face = {1: RED, 2: RED_DOWN}.get(state)
        else:
            face = {1: (52, 56, 63), 2: (42, 45, 51)}.get(state)
        if face:
            d.rectangle(s(0, 0, 32, 24), fill=rgba(face))
        colour = rgba({0: GLYPH, 1: (255, 255, 255) if kind == "close" else GLYPH_HOT,
                       2: (255, 255, 255) if kind == "close" else GLYPH_HOT, 3: GLYPH_OFF}[state])
        cell = shrink(im)
        g = ImageDraw.Draw(cell)
        # 1-px glyphs drawn at final size so they stay sharp
        if kind == "close":
            for i in range(9):
                g.point((12 + i, 8 + i), fill=colour)
                g.point((20 - i, 8 + i), fill=colour)
        elif kind == "mini":
            g.line([11, 12, 20, 12], fill=colour)
        else:  # more: three short bars
            for y in (8, 12, 16):
                g.line([11, y, 20, y], fill=colour)
        cells.append(cell)
    return strip(cells)


def big_button(w, h, primary, r=4):
    """Four cells (normal, hot, pushed, disabled) of a large button, blended into BG."""
    cells = []
    for state in range(4):
        if primary:
            fill = [ACCENT, ACCENT_HOT, ACCENT_DOWN, OFF_FILL][state]
            light = [mix(ACCENT, (255, 255, 255), 0.18), mix(ACCENT_HOT, (255, 255, 255), 0.2), None, None][state]
            face = rounded_face(w, h, r, fill, top_light=light)
        else:
            fill = [(38, 41, 47), (46, 50, 57), (28, 30, 35), BG][state]
            edge = [(74, 79, 88), (104, 110, 120), (64, 69, 77), (50, 54, 61)][state]
            face = rounded_face(w, h, r, fill, edge=edge)
        cells.append(over(BG, face))
    return strip(cells)


def progress_track(w):
    im = Image.new("RGB", (w, 8), FIELD)
    ImageDraw.Draw(im).line([0, 0, w - 1, 0], fill=(19, 21, 24))
    return im


def progress_fill(w):
    im = Image.new("RGB", (w, 8))
    d = ImageDraw.Draw(im)
    for y in range(8):
        d.line([0, y, w - 1, y], fill=mix(ACCENT_LIGHT, ACCENT, y / 7.0))
    return im


def line_png():
    w = 526
    im = Image.new("RGB", (w, 1))
    for x in range(w):
        edge = min(x, w - 1 - x)
        im.putpixel((x, 0), mix(BG, LINE, min(1.0, edge / 40.0)))
    return im


def check_png():
    """Start page picture: a shield with a tick between two columns of faint list bars."""
    w, h = 170, 100
    im, d = big(w, h)
    # faint list bars left and right: the things being looked over
    for i, (y, ln) in enumerate([(30, 34), (42, 26), (54, 38), (66, 22)]):
        a = 120 if i % 2 == 0 else 80
        d.rounded_rectangle(s(12, y, 12 + ln, y + 4), radius=2 * SS, fill=rgba(BORDER, a + 60))
        d.rounded_rectangle(s(w - 12 - ln, y, w - 12, y + 4), radius=2 * SS, fill=rgba(BORDER, a + 60))
    # soft floor shadow
    d.ellipse(s(52, 88, 118, 98), fill=(0, 0, 0, 70))
    # shield
    cx = 85
    top, bottom, half = 8, 90, 34
    outline = [(cx, top), (cx + half, top + 10), (cx + half, 48), (cx, bottom), (cx - half, 48), (cx - half, top + 10)]
    shield = Image.new("L", im.size, 0)
    sd = ImageDraw.Draw(shield)
    pts = [(x * SS, y * SS) for x, y in outline]
    sd.polygon(pts, fill=255)
    sd.line(pts + [pts[0]], fill=255, width=6 * SS, joint="curve")
    grad = Image.new("RGBA", im.size)
    gp = ImageDraw.Draw(grad)
    for y in range(im.height):
        gp.line([0, y, im.width, y], fill=rgba(mix(ACCENT_LIGHT, ACCENT_DOWN, y / im.height)))
    im.paste(grad, (0, 0), shield)
    # inner rim
    inner = [(cx, top + 7), (cx + half - 7, top + 15), (cx + half - 7, 48), (cx, bottom - 9), (cx - half + 7, 48), (cx - half + 7, top + 15)]
    d.line([(x * SS, y * SS) for x, y in inner + [inner[0]]], fill=(255, 255, 255, 60), width=int(1.2 * SS), joint="curve")
    draw_tick(d, [(cx - 14, 47), (cx - 4, 57), (cx + 15, 36)], 6, (255, 255, 255, 255))
    return shrink(im)


def spinner_frames(size, frames, ring, width, colour, back, centre=None):
    """Frames of a rotating arc (a 270-degree tail that fades out), blended into BG so the
    GIF's one-bit transparency never shows a halo."""
    out = []
    for f in range(frames):
        im, d = big(size, size)
        pad = (size - ring) / 2.0
        box = [pad * SS, pad * SS, (size - pad) * SS, (size - pad) * SS]
        d.arc(box, 0, 360, fill=rgba(back), width=int(width * SS))
        start = f * 360.0 / frames
        steps = 36
        for i in range(steps):
            t = (i + 1) / steps
            a0 = start + i * 270.0 / steps
            d.arc(box, a0, a0 + 270.0 / steps + 1, fill=rgba(mix(back, colour, t)), width=int(width * SS))
        if centre:
            centre(d)
        out.append(shrink(im))
    return out


def save_gif(frames, name, duration):
    """Writes an animated GIF with ImageMagick: every frame fully transparent where nothing is
    drawn (one-bit transparency in each frame's own control block, disposal to background so
    a moving arc leaves no trail); drawn pixels are matted on BG so no halo shows."""
    with tempfile.TemporaryDirectory() as tmp:
        paths = []
        for i, fr in enumerate(frames):
            alpha = fr.getchannel("A").point(lambda a: 255 if a >= 40 else 0)
            rgb = over(BG, fr).convert("RGBA")
            rgb.putalpha(alpha)
            path = os.path.join(tmp, "f%02d.png" % i)
            rgb.save(path)
            paths.append(path)
        # Transparent pixels and the background colour are BG itself, so a decoder that
        # paints them instead of leaving them out still shows the window colour.
        bg = "rgb(%d,%d,%d)" % BG
        subprocess.run(["convert", "-background", bg, "-transparent-color", bg,
                        "-dispose", "Background", "-delay", str(duration // 10), "-loop", "0"]
                       + paths + ["-strip", os.path.join(RES, name)], check=True)


def repair_gif():
    save_gif(spinner_frames(16, 12, 13, 2.2, ACCENT_LIGHT, (52, 56, 63)), "repair.gif", 70)


def repaircancel_gif():
    def stop_mark(d):
        d.rounded_rectangle(s(23, 23, 37, 37), radius=2 * SS, fill=rgba(GLYPH))
    save_gif(spinner_frames(60, 16, 52, 4, AMBER, (52, 56, 63), stop_mark), "repaircancel.gif", 60)


def shadow_png(size, border, strength):
    """Nine-part shadow: the window covers the centre, the border holds the falloff. The alpha
    depends only on the distance to the centre rectangle, so the stretched edge parts match the
    unscaled corner parts exactly where they meet."""
    im = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    px = im.load()
    lo, hi = border - 0.5, size - border - 0.5
    for y in range(size):
        for x in range(size):
            dx = max(lo - x, 0, x - hi)
            dy = max(lo - y, 0, y - hi)
            dist = math.hypot(dx, dy)
            if dist == 0:
                continue  # under the window
            t = max(0.0, 1.0 - dist / (border + 0.5))
            px[x, y] = (0, 0, 0, round(strength * t * t))
    return im


# ---------------------------------------------------------------------------- dialog, menu

def bgpop_png():
    w, h = 340, 180
    im = Image.new("RGB", (w, h), BG)
    d = ImageDraw.Draw(im)
    d.rectangle([0, 0, w - 1, 23], fill=TITLE)
    d.line([0, 23, w - 1, 23], fill=LINE)
    im.paste(logo_layer(14), (6, 5), logo_layer(14))
    d.rectangle([0, 0, w - 1, h - 1], outline=BORDER)
    return im


def checkbox_png():
    """Four 13x13 cells: clear, clear hot, ticked, ticked hot."""
    cells = []
    for state in range(4):
        ticked = state >= 2
        hot = state % 2 == 1
        if ticked:
            face = rounded_face(13, 13, 2, ACCENT_HOT if hot else ACCENT)
        else:
            face = rounded_face(13, 13, 2, (38, 41, 47), edge=(130, 136, 146) if hot else (96, 102, 112))
        cell = over(BG, face)
        if ticked:
            im, d = big(13, 13)
            draw_tick(d, [(3.0, 6.6), (5.4, 9.0), (10.0, 4.0)], 1.6, (255, 255, 255, 255))
            cell = Image.alpha_composite(cell.convert("RGBA"), shrink(im)).convert("RGB")
        cells.append(cell)
    return strip(cells)


def dialog_button(primary):
    cells = []
    for state in range(4):
        if primary:
            fill = [ACCENT, ACCENT_HOT, ACCENT_DOWN, OFF_FILL][state]
        else:
            fill = [(62, 67, 75), (78, 84, 93), (50, 54, 61), (44, 47, 53)][state]
        cells.append(over(BG, rounded_face(60, 28, 3, fill)))
    return strip(cells)


def newclose_png():
    """Two 34x26 cells of a close glyph (normal, hot); kept in the package for other skins."""
    cells = []
    for hot in (False, True):
        im, d = big(34, 26)
        if hot:
            d.rectangle(s(0, 0, 34, 26), fill=rgba(RED))
        cell = shrink(im)
        g = ImageDraw.Draw(cell)
        colour = rgba((255, 255, 255) if hot else GLYPH)
        for i in range(9):
            g.point((13 + i, 9 + i), fill=colour)
            g.point((21 - i, 9 + i), fill=colour)
        cells.append(cell)
    return strip(cells)


def menu_bk_png():
    im = Image.new("RGB", (112, 31), (40, 43, 49))
    ImageDraw.Draw(im).rectangle([0, 0, 111, 30], outline=BORDER)
    return im


# ---------------------------------------------------------------------------- icon

def icon_bitmap(im):
    """A 32-bit icon image as the icon format stores it: a BITMAPINFOHEADER of twice the
    height, bottom-up BGRA rows, then the 1-bit AND mask (rows padded to 32 bits)."""
    w, h = im.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = im.load()
    colour = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            colour += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def write_icon(path):
    """Icon resource 107: 16, 32 and 48 as classic 32-bit bitmaps (every Windows version and
    Wine read those), 256 as PNG (the form the icon format defines for that size)."""
    entries = []
    for n in (16, 32, 48, 256):
        im = logo_layer(n)
        if n == 256:
            buf = io.BytesIO()
            im.save(buf, format="PNG")
            data = buf.getvalue()
        else:
            data = icon_bitmap(im)
        entries.append((n, data))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for n, data in entries:
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------------------- main

def main():
    w_all = tuple(WIZARD_DIRS.values())
    w_inst = (WIZARD_DIRS["skin_install"],)
    w_unin = (WIZARD_DIRS["skin_uninstall"],)
    both = (RES,) + w_all

    save(back_png(), "back.png", both)
    save(logo_layer(54), "logo.png", both)
    save(check_png(), "check.png")
    save(title_button("close"), "close.png", both)
    save(title_button("mini"), "mini.png", both)
    save(title_button("more"), "more.png")
    save(big_button(130, 40, True), "okbtn.png")
    save(big_button(130, 40, False), "cancelbtn.png")
    save(progress_track(582), "back_progress.png")
    save(progress_fill(582), "fore_progress.png")
    save(line_png(), "line.png")
    save(status_icon(16, True), "success.png")
    save(status_icon(16, False), "failed.png")
    repair_gif()
    repaircancel_gif()
    save(bgpop_png(), "bgpop.png")
    save(shadow_png(68, 10, 90), "shadowpop.png")
    save(shadow_png(70, 10, 100), "shadow.png", both)
    save(checkbox_png(), "checkbox.png", (RES,) + w_inst)
    save(dialog_button(True), "newok.png")
    save(dialog_button(False), "newcancel.png")
    save(newclose_png(), "newclose.png")
    save(menu_bk_png(), "menu_bk.png")
    # wizard pictures
    save(status_icon(64, True), "Complete_Pic.png", (RES,) + w_unin)
    save(progress_track(466), "backprogress.png", both)
    save(progress_fill(466), "progress.png", both)
    save(big_button(160, 44, True, r=5), "install_btn.png", both)
    save(big_button(120, 40, False), "cancel_btn.png", (RES,) + w_unin)
    save(big_button(80, 28, False, r=3), "modify_dir.png", (RES,) + w_inst)

    write_icon(os.path.join(RES, "logo.ico"))


if __name__ == "__main__":
    main()
