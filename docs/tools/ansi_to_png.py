#!/usr/bin/python3
"""Renders a terminal capture with colours (`tmux capture-pane -e -p`) to a PNG.

Usage: ansi_to_png.py CAPTURE OUT.png. Needs Pillow (Debian: python3-pil) and the DejaVu Sans
Mono font; used to make the editor screenshot of docs/editors.md.
"""
import re
import sys

from PIL import Image, ImageDraw, ImageFont

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
SIZE = 15
FOREGROUND = (208, 208, 208)
BACKGROUND = (28, 28, 28)
BASIC = [(0, 0, 0), (205, 49, 49), (13, 188, 121), (229, 229, 16), (36, 114, 200),
         (188, 63, 188), (17, 168, 205), (229, 229, 229), (102, 102, 102), (241, 76, 76),
         (35, 209, 139), (245, 245, 67), (59, 142, 234), (214, 112, 214), (41, 184, 219),
         (255, 255, 255)]
SGR = re.compile(r"\x1b\[([0-9;]*)m")


def palette(n):
    if n < 16:
        return BASIC[n]
    if n < 232:
        n -= 16
        steps = [0, 95, 135, 175, 215, 255]
        return (steps[n // 36], steps[n // 6 % 6], steps[n % 6])
    level = 8 + (n - 232) * 10
    return (level, level, level)


def cells(line):
    """(character, foreground, background, bold) for each character of a captured line."""
    fg, bg, bold, reverse = None, None, False, False
    out = []
    pos = 0
    for m in list(SGR.finditer(line)) + [None]:
        text = line[pos:m.start() if m else len(line)]
        for ch in text:
            f, b = (bg or BACKGROUND, fg or FOREGROUND) if reverse else (fg, bg)
            out.append((ch, f or FOREGROUND, b or BACKGROUND, bold))
        if not m:
            break
        pos = m.end()
        codes = [int(c) if c else 0 for c in m.group(1).split(";")]
        i = 0
        while i < len(codes):
            c = codes[i]
            if c == 0:
                fg, bg, bold, reverse = None, None, False, False
            elif c == 1:
                bold = True
            elif c == 22:
                bold = False
            elif c == 7:
                reverse = True
            elif c == 27:
                reverse = False
            elif 30 <= c <= 37:
                fg = BASIC[c - 30]
            elif 90 <= c <= 97:
                fg = BASIC[c - 90 + 8]
            elif 40 <= c <= 47:
                bg = BASIC[c - 40]
            elif 100 <= c <= 107:
                bg = BASIC[c - 100 + 8]
            elif c == 39:
                fg = None
            elif c == 49:
                bg = None
            elif c in (38, 48) and i + 1 < len(codes):
                if codes[i + 1] == 5 and i + 2 < len(codes):
                    colour = palette(codes[i + 2])
                    i += 2
                elif codes[i + 1] == 2 and i + 4 < len(codes):
                    colour = tuple(codes[i + 2:i + 5])
                    i += 4
                else:
                    colour = None
                if c == 38:
                    fg = colour
                else:
                    bg = colour
            i += 1
    return out


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        lines = f.read().rstrip("\n").split("\n")
    font, bold = ImageFont.truetype(FONT, SIZE), ImageFont.truetype(BOLD, SIZE)
    width = int(font.getlength("M"))
    height = SIZE + 4
    rows = [cells(line) for line in lines]
    columns = max(len(r) for r in rows)
    image = Image.new("RGB", (columns * width + 16, len(rows) * height + 16), BACKGROUND)
    draw = ImageDraw.Draw(image)
    for y, row in enumerate(rows):
        for x, (ch, fg, bg, is_bold) in enumerate(row):
            left, top = 8 + x * width, 8 + y * height
            if bg != BACKGROUND:
                draw.rectangle([left, top, left + width - 1, top + height - 1], fill=bg)
            if ch != " ":
                draw.text((left, top + 1), ch, font=bold if is_bold else font, fill=fg)
    image.save(sys.argv[2])


if __name__ == "__main__":
    main()
