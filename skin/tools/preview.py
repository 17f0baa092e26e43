#!/usr/bin/python3
"""Composes preview pictures of the skin's windows from the layouts and pictures, without
Windows: a quick look at how a changed picture sits in its window before building.

    /usr/bin/python3 skin/tools/preview.py OUTPUT_FOLDER

It places controls the way the framework does for what these layouts use (floating controls,
vertical and horizontal layouts with fixed and flexible sizes, tab pages, list rows) and
draws image strings (file, source, dest, corner), state cells, check boxes, progress bars and
one-line text with WenQuanYi Micro Hei, the face that stands in for the skins' font under
Wine. The real windows under Wine remain the reference; this is a sketch of them.
"""
import os
import re
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SKIN = os.path.dirname(HERE)
REPO = os.path.dirname(SKIN)
FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
DESKTOP = (120, 132, 148)

# ---------------------------------------------------------------------------- markup

TAG = re.compile(r'<(/?)([\w:]+)((?:\s*[\w:]+\s*=\s*"[^"]*")*)\s*(/?)>', re.S)
ATTR = re.compile(r'([\w:]+)\s*=\s*"([^"]*)"')
ENT = {"&amp;": "&", "&lt;": "<", "&gt;": ">", "&quot;": '"', "&apos;": "'"}


def unescape(v):
    return re.sub(r"&(amp|lt|gt|quot|apos);", lambda m: ENT[m.group(0)], v)


class Node:
    def __init__(self, tag, attrs, parent):
        self.tag, self.attrs, self.parent, self.children = tag, attrs, parent, []
        self.rect = (0, 0, 0, 0)
        self.visible = attrs.get("visible", "true") == "true"
        self.selected_page = 0
        self.state = 0  # 0 normal, 1 hot, 2 pushed, 3 disabled
        self.value = ints(attrs.get("value"), 1)[0] if tag == "Progress" else 0
        self.selected = attrs.get("selected") == "true"

    def find(self, name):
        if self.attrs.get("name") == name:
            return self
        for c in self.children:
            f = c.find(name)
            if f:
                return f
        return None

    def find_all(self, name, out=None):
        out = [] if out is None else out
        if self.attrs.get("name") == name:
            out.append(self)
        for c in self.children:
            c.find_all(name, out)
        return out


def parse(text):
    text = re.sub(r"<!--.*?-->", "", text, flags=re.S)
    text = re.sub(r"<\?.*?\?>", "", text, flags=re.S)
    root = Node("#doc", {}, None)
    cur = root
    for m in TAG.finditer(text):
        closing, tag, attrs, empty = m.groups()
        if closing:
            cur = cur.parent
            continue
        node = Node(tag, {k: unescape(v) for k, v in ATTR.findall(attrs)}, cur)
        cur.children.append(node)
        if not empty:
            cur = node
    return root.children[0]


def ints(v, n=4):
    out = [int(re.match(r"\s*(-?\d+)", x).group(1)) if re.match(r"\s*-?\d+", x) else 0 for x in (v or "").split(",")]
    return (out + [0] * n)[:n]


# ---------------------------------------------------------------------------- skin

class Skin:
    def __init__(self, folders):
        self.folders = folders
        self.cache = {}

    def image(self, name):
        if name not in self.cache:
            for f in self.folders:
                p = os.path.join(f, name)
                if os.path.exists(p):
                    self.cache[name] = Image.open(p).convert("RGBA")
                    break
            else:
                self.cache[name] = None
        return self.cache[name]

    def load(self, name):
        for f in self.folders:
            p = os.path.join(f, name)
            if os.path.exists(p):
                with open(p, encoding="utf-8-sig") as fh:
                    return parse(fh.read())
        raise FileNotFoundError(name)


class Window:
    def __init__(self, skin, layout_name, fonts_from=None):
        self.skin = skin
        self.doc = skin.load(layout_name)
        src = fonts_from.doc if fonts_from else self.doc
        self.fonts = [(int(f.attrs.get("size", "12")), f.attrs.get("bold") == "true",
                       f.attrs.get("underline") == "true") for f in src.children if f.tag == "Font"]
        self.defaults = {d.attrs["name"]: dict(ATTR.findall(d.attrs["value"]))
                         for d in self.doc.children if d.tag == "Default"}
        self.size = tuple(ints(self.doc.attrs.get("size"), 2))
        self.root = [c for c in self.doc.children if c.tag not in ("Font", "Default", "Image")][0]

    def find(self, name):
        return self.root.find(name)

    def font(self, idx):
        size, bold, under = self.fonts[idx] if 0 <= idx < len(self.fonts) else (12, False, False)
        return ImageFont.truetype(FONT_FILE, size), bold, under

    # -------------------------------------------------------------- layout

    def layout(self, node, rect):
        node.rect = rect
        l, t, r, b = rect
        il, it, ir, ib = ints(node.attrs.get("inset"))
        area = (l + il, t + it, r - ir, b - ib)
        kids = [c for c in node.children if c.visible]
        for c in kids:
            if c.attrs.get("float") == "true":
                self.place_float(c, area)
        flow = [c for c in kids if c.attrs.get("float") != "true"]
        if node.tag == "TabLayout":
            pages = [c for c in node.children]
            for i, p in enumerate(pages):
                p.visible = i == node.selected_page
                if p.visible:
                    self.layout(p, area)
            return
        if node.tag in ("List",):
            y = area[1]
            for row in node.children:
                if not row.visible:
                    continue
                h = int(row.attrs.get("height", "0"))
                self.layout(row, (area[0], y, area[2], y + h))
                y += h
            return
        vertical = node.tag in ("VerticalLayout", "ListContainerElement")
        if not flow:
            return
        main_len = (area[3] - area[1]) if vertical else (area[2] - area[0])
        key = "height" if vertical else "width"
        fixed = [int(c.attrs.get(key, "0")) for c in flow]
        flex = fixed.count(0)
        rest = max(0, (main_len - sum(fixed)) // flex) if flex else 0
        pos = area[1] if vertical else area[0]
        for c, f in zip(flow, fixed):
            n = f or rest
            if vertical:
                self.layout(c, (area[0], pos, area[2], pos + n))
            else:
                self.layout(c, (pos, area[1], pos + n, area[3]))
            pos += n

    def place_float(self, c, area):
        l, t, r, b = ints(c.attrs.get("pos"))
        w, h = r - l, b - t
        if "width" in c.attrs:
            w = int(c.attrs["width"])
        if "height" in c.attrs:
            h = int(c.attrs["height"])
        x = l if l >= 0 else r
        y = t if t >= 0 else b
        if c.tag == "GifAnim" and c.attrs.get("autosize") == "true":
            im = self.skin.image(c.attrs.get("bkimage", ""))
            if im:
                w, h = im.size
        left = area[0] + x if x >= 0 else area[2] + x - w
        top = area[1] + y if y >= 0 else area[3] + y - h
        self.layout(c, (left, top, left + w, top + h))

    # -------------------------------------------------------------- painting

    def draw_image(self, canvas, rect, spec):
        if not spec:
            return
        items = dict(re.findall(r"(\w+)='([^']*)'", spec))
        name = items.get("file", spec if "=" not in spec else "")
        im = self.skin.image(name)
        if im is None:
            return
        l, t, r, b = rect
        sl, st, sr, sb = ints(items.get("source"))
        if (sl, st, sr, sb) == (0, 0, 0, 0):
            sl, st, sr, sb = 0, 0, im.width, im.height
        sr, sb = min(sr, im.width), min(sb, im.height)
        part = im.crop((sl, st, sr, sb))
        if "dest" in items:
            dl, dt, dr, db = ints(items["dest"])
            dest = (l + dl, t + dt, min(l + dr, r), min(t + db, b))
        else:
            dest = rect
        w, h = dest[2] - dest[0], dest[3] - dest[1]
        if w <= 0 or h <= 0:
            return
        corner = ints(items.get("corner"))
        if any(corner):
            part = nine(part, w, h, corner)
        elif part.size != (w, h):
            part = part.resize((w, h), Image.BILINEAR)
        canvas.alpha_composite(part, (dest[0], dest[1]))

    def paint(self, canvas, node, clip=None):
        if not node.visible:
            return
        a = dict(self.defaults.get(node.tag, {}))
        a.update(node.attrs)
        rect = node.rect
        if clip:
            if rect[0] >= clip[2] or rect[1] >= clip[3]:
                return
        if "bkcolor" in a:
            c = argb(a["bkcolor"])
            ImageDraw.Draw(canvas).rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=c)
        if node.tag == "GifAnim":
            im = self.skin.image(a.get("bkimage", ""))
            if im:
                canvas.alpha_composite(im, (rect[0], rect[1]))
        else:
            self.draw_image(canvas, rect, a.get("bkimage"))
        if node.tag in ("Button", "CheckBox"):
            img = a.get("normalimage")
            state_key = {1: "hotimage", 2: "pushedimage", 3: "disabledimage"}.get(node.state)
            if state_key and a.get(state_key):
                img = a[state_key]
            if node.tag == "CheckBox" and node.selected and a.get("selectedimage"):
                img = a["selectedimage"]
            self.draw_image(canvas, rect, img)
        if node.tag == "Progress":
            lo, hi = int(a.get("min", "0")), int(a.get("max", "100"))
            fill = (rect[2] - rect[0]) * (node.value - lo) // max(1, hi - lo)
            if fill > 0:
                self.draw_image(canvas, (rect[0], rect[1], rect[0] + fill, rect[3]), a.get("foreimage"))
        if node.tag == "MenuElement":
            self.draw_text(canvas, rect, a.get("text", ""), {"font": "0", "textcolor": self.defaults.get("Menu", {}).get("itemtextcolor", "0xFF000000"),
                                                              "textpadding": self.defaults.get("Menu", {}).get("itemtextpadding", "0,0,0,0"), "align": "left"})
        elif "text" in a and node.tag not in ("Window",):
            colour = a.get("hottextcolor") if node.state == 1 and a.get("hottextcolor") else a.get("textcolor", "0xFF000001")
            a2 = dict(a)
            a2["textcolor"] = colour
            self.draw_text(canvas, rect, a["text"], a2)
        for c in node.children:
            self.paint(canvas, c, clip)

    def draw_text(self, canvas, rect, text, a):
        underline = False
        if a.get("showhtml") == "true" and "{u}" in text:
            underline = True
            text = text.replace("{u}", "").replace("{/u}", "")
        font, bold, under = self.font(int(a.get("font", "-1")))
        underline = underline or under
        pl, pt, pr, pb = ints(a.get("textpadding"))
        l, t, r, b = rect[0] + pl, rect[1] + pt, rect[2] - pr, rect[3] - pb
        d = ImageDraw.Draw(canvas)
        bbox = d.textbbox((0, 0), text, font=font)
        tw = bbox[2]
        asc, desc = font.getmetrics()
        th = asc + desc
        align = a.get("align", "center" if a.get("_button") else "")
        if "right" in align:
            x = r - tw
        elif "center" in align or (align == "" and self.is_centred(a)):
            x = l + (r - l - tw) // 2
        else:
            x = l
        valign = a.get("valign", "vcenter")
        if "bottom" in valign:
            y = b - th
        elif "top" in valign:
            y = t
        else:
            y = t + (b - t - th) // 2
        colour = argb(a.get("textcolor", "0xFF000001"))
        sub = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
        sd = ImageDraw.Draw(sub)
        sd.text((x, y), text, font=font, fill=colour, stroke_width=0)
        if bold:
            sd.text((x + 1, y), text, font=font, fill=colour)
        if underline:
            sd.line([x, y + asc + 1, x + tw, y + asc + 1], fill=colour)
        mask = Image.new("L", canvas.size, 0)
        ImageDraw.Draw(mask).rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=255)
        sub.putalpha(Image.composite(sub.getchannel("A"), mask.point(lambda v: 0), mask))
        canvas.alpha_composite(sub)

    def is_centred(self, a):
        return a.get("_tag") in ("Button",)

    def render(self, shadow=True):
        w, h = self.size
        self.layout(self.root, (0, 0, w, h))
        tag_buttons(self.root)
        canvas = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        self.paint(canvas, self.root)
        return canvas


def tag_buttons(node):
    if node.tag == "Button":
        node.attrs.setdefault("_tag", "Button")
    for c in node.children:
        tag_buttons(c)


def argb(v):
    v = v.strip().lstrip("#")
    if v.lower().startswith("0x"):
        v = v[2:]
    n = int(v, 16)
    return ((n >> 16) & 255, (n >> 8) & 255, n & 255, (n >> 24) & 255)


def nine(part, w, h, corner):
    cl, ct, cr, cb = corner
    pw, ph = part.size
    out = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    xs = [(0, cl, 0, cl), (cl, pw - cr, cl, w - cr), (pw - cr, pw, w - cr, w)]
    ys = [(0, ct, 0, ct), (ct, ph - cb, ct, h - cb), (ph - cb, ph, h - cb, h)]
    for sx0, sx1, dx0, dx1 in xs:
        for sy0, sy1, dy0, dy1 in ys:
            if sx1 <= sx0 or sy1 <= sy0 or dx1 <= dx0 or dy1 <= dy0:
                continue
            piece = part.crop((sx0, sy0, sx1, sy1)).resize((dx1 - dx0, dy1 - dy0), Image.BILINEAR)
            out.paste(piece, (dx0, dy0))
    return out


def with_shadow(skin, win_img, shadow_name, corner):
    """The window on a plain desktop with its nine-part shadow around it, as the shadow
    window draws it: the picture stretched over the window inflated by the corner widths."""
    sh = skin.image(shadow_name)
    c = corner if any(corner) else (10, 10, 10, 10)
    w, h = win_img.size
    out = Image.new("RGBA", (w + 60, h + 60), rgba_t(DESKTOP))
    shadow = nine(sh, w + c[0] + c[2], h + c[1] + c[3], corner if any(corner) else (0, 0, 0, 0))
    out.alpha_composite(shadow, (30 - c[0], 30 - c[1]))
    out.alpha_composite(win_img, (30, 30))
    return out


def rgba_t(c):
    return (c[0], c[1], c[2], 255)


# ---------------------------------------------------------------------------- scenes

def main_window(skin):
    return Window(skin, "MainWnd.xml")


def add_row(skin, main, template, setup):
    row_win = Window(skin, template, fonts_from=main)
    row = row_win.root
    lst = main.find("resultList")
    row.parent = lst
    lst.children.append(row)
    setup(row)
    return row


def set_(row, name, **kw):
    n = row.find(name)
    for k, v in kw.items():
        if k == "visible":
            n.visible = v
        else:
            n.attrs[k] = v
    return n


def scenes(out):
    res = os.path.join(SKIN, "res")
    skin = Skin([os.path.join(SKIN, "layouts"), res])
    shots = {}

    m = main_window(skin)
    shots["main_start"] = with_shadow(skin, m.render(), "shadow.png", (10, 10, 10, 10))

    m = main_window(skin)
    m.find("MainLayout").visible = False
    m.find("CheckLayout").visible = True
    for b in ("cancelCheckbtn", "cancelRepairbtn", "returnbtn", "recheckbtn"):
        m.find(b).visible = False
    m.find("RepairCancelTip").visible = False
    m.find("repairTip").visible = False
    m.find("checkResult").attrs["text"] = "检测已完成，发现异常问题，请立即修复"
    m.find("checkTip").attrs.update(text="发现以下3个问题", textcolor="#FFFF0000")
    m.find("mainSwitch").selected_page = 2
    m.find("repair_progress").visible = False
    m.find("repairbtn").state = 1

    def plain(r):
        set_(r, "result", text="必要组件服务未启动")
        set_(r, "resultLogo", bkimage="success.png")
        set_(r, "repairLogo", visible=False)
        set_(r, "resultTip", visible=False)

    def recurring(r):
        set_(r, "result", text="必要组件服务启动类型异常")
        set_(r, "resultLogo", bkimage="failed.png")
        set_(r, "repairLogo", visible=False)
        set_(r, "resultTip", visible=False)
        set_(r, "resultServTip", text="如反复出现此问题，请设置开机启动项解决此问题")
        set_(r, "ServSet", text="设置")

    def flash(r):
        set_(r, "result", text="您的Flash Player版本较低，建议下载最新版Flash Player")
        set_(r, "resultLogo", visible=False)
        set_(r, "resultTip", visible=False)
        set_(r, "repairLogo", visible=False)
        set_(r, "repairLogoNew", visible=True)
        set_(r, "resultTipNew", text="正在下载...")
        set_(r, "resultServTip", visible=False)
        set_(r, "GoOfficialNet", visible=False)

    add_row(skin, m, "result_item.xml", plain)
    add_row(skin, m, "result_item_crt.xml", recurring)
    add_row(skin, m, "result_item_fp.xml", flash)
    shots["main_results"] = m.render()

    m = main_window(skin)
    m.find("MainLayout").visible = False
    m.find("CheckLayout").visible = True
    for b in ("cancelRepairbtn", "returnbtn", "repairbtn", "recheckbtn", "RepairCancelTip"):
        m.find(b).visible = False
    m.find("checkResult").attrs["text"] = "正在检测，请稍候…"
    m.find("checkTip").attrs["text"] = "正在检测:Flash 版本……"
    m.find("mainSwitch").selected_page = 1
    m.find("check_progress").value = 66
    m.find("repairTip").visible = False
    shots["main_checking"] = m.render()

    m = main_window(skin)
    main_img = m.render()
    menu = Window(skin, "MainMenu.xml")
    menu.size = (112, 31)
    menu_img = Image.new("RGBA", menu.size)
    menu.root.rect = (0, 0, 112, 31)
    menu.draw_image(menu_img, (0, 0, 112, 31), menu.defaults["Menu"]["bkimage"])
    el = menu.root.children[0]
    el.rect = (0, 0, 112, 31)
    menu.paint(menu_img, el)
    mb = m.find("morebtn").rect
    main_img.alpha_composite(menu_img, (mb[0], mb[3]))
    shots["main_menu"] = main_img

    for page in range(4):
        d = Window(skin, "DlgConfig.xml")
        d.find("mainSwitch").selected_page = page
        img = d.render()
        shots["dlg_page%d" % page] = with_shadow(skin, img, "shadowpop.png", (0, 0, 0, 0))

    for name, pages in (("Install.xml", 2), ("Unstall.xml", 3)):
        for page in range(pages):
            w = Window(skin, name)
            w.find("mainSwitch").selected_page = page
            shots["%s_page%d" % (name[:-4].lower(), page)] = w.render()

    for folder, file, pages in (("skin_install", "install.xml", 2), ("skin_uninstall", "uninstall.xml", 3)):
        wskin = Skin([os.path.join(REPO, "packaging", folder)])
        for page in range(pages):
            w = Window(wskin, file)
            w.find("wizardTab").selected_page = page
            shots["%s_page%d" % (folder, page)] = w.render()

    os.makedirs(out, exist_ok=True)
    for k, v in shots.items():
        v.save(os.path.join(out, k + ".png"))
    return sorted(shots)


if __name__ == "__main__":
    print("\n".join(scenes(sys.argv[1] if len(sys.argv) > 1 else "preview")))
