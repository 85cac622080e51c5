#!/usr/bin/python3
"""Draws the bundled glyph sets: ten digits and seven weekday names per set, as GIF files.

Needs python3-pil and the fonts of fonts-dejavu-core and fonts-liberation2. Run it from
anywhere; it rewrites the set folders beside itself:

    /usr/bin/python3 glyphs/make_glyphs.py

Every digit of a set has the same size and every weekday name has the same size, with one
baseline for all of them, because a sheet lays its columns out from the sizes of "0" and "Пн".
Edges are antialiased towards white, the colour of the canvases the glyphs are copied onto.
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIRS = [
    "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/truetype/liberation2",
    "/usr/share/fonts/truetype/liberation",
]

DIGITS = [str(d) for d in range(10)]
WEEKDAYS = ["Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"]

# name, font file, target cell height in pixels, ink, transparent background
SETS = [
    ("Классика", "LiberationSerif-Bold.ttf", 44, (0x22, 0x22, 0x22), False),
    ("Плакат", "DejaVuSans-Bold.ttf", 52, (0x1B, 0x35, 0x5E), True),
]

# Blank rows above and below the ink. There is none at the sides: the sheet's own spacings
# ("Числа X", "Даты X") set the gaps, and the two digits of a day must read as one number.
MARGIN = 3
SIDE = 1  # room for the antialiased edge
LEVELS = 32  # shades from white to the ink


def find_font(file_name):
    for folder in FONT_DIRS:
        path = os.path.join(folder, file_name)
        if os.path.exists(path):
            return path
    sys.exit(f"font {file_name} not found: install fonts-dejavu-core and fonts-liberation2")


def metrics(font):
    """Top and bottom of the ink of every glyph relative to the baseline, and the widths."""
    top = bottom = 0
    for text in DIGITS + WEEKDAYS:
        box = font.getbbox(text, anchor="ls")
        top = min(top, box[1])
        bottom = max(bottom, box[3])
    def ink_width(text):
        box = font.getbbox(text, anchor="ls")
        return box[2] - box[0] + 2 * SIDE

    digit_width = max(ink_width(t) for t in DIGITS)
    weekday_width = max(ink_width(t) for t in WEEKDAYS)
    return top, bottom, digit_width, weekday_width


def font_for_height(path, height):
    """The largest size whose cell (ink of all glyphs plus margins) fits the height."""
    best = None
    for size in range(8, 200):
        font = ImageFont.truetype(path, size)
        top, bottom, _, _ = metrics(font)
        if bottom - top + 2 * MARGIN > height:
            break
        best = font
    return best


def palette_for(ink):
    colours = []
    for level in range(LEVELS):
        t = level / (LEVELS - 1)
        colours.extend(round(255 + (c - 255) * t) for c in ink)
    return colours + [255, 255, 255] * (256 - LEVELS)


def draw_glyph(text, font, size, baseline, ink, transparent, path):
    # Centred by the ink, not by the advance: the cell is only as wide as the widest ink.
    left, _, right, _ = font.getbbox(text, anchor="ls")
    x = (size[0] - (right - left)) // 2 - left
    coverage = Image.new("L", size, 0)
    ImageDraw.Draw(coverage).text((x, baseline), text, fill=255, font=font, anchor="ls")
    image = Image.new("P", size, 0)
    image.putpalette(palette_for(ink))
    image.putdata([round(v * (LEVELS - 1) / 255) for v in coverage.getdata()])
    options = {"optimize": False}
    if transparent:
        options["transparency"] = 0  # index 0 is pure white
    image.save(path, "GIF", **options)


def make_set(name, font_file, height, ink, transparent):
    font = font_for_height(find_font(font_file), height)
    top, bottom, digit_width, weekday_width = metrics(font)
    baseline = MARGIN + (height - 2 * MARGIN - (bottom - top)) // 2 - top
    folder = os.path.join(HERE, name)
    os.makedirs(folder, exist_ok=True)
    for text in DIGITS:
        draw_glyph(text, font, (digit_width, height), baseline, ink, transparent,
                   os.path.join(folder, text + ".gif"))
    for text in WEEKDAYS:
        draw_glyph(text, font, (weekday_width, height), baseline, ink, transparent,
                   os.path.join(folder, text + ".gif"))
    print(f"{name}: {font.getname()[0]} {font.size} px, digits {digit_width} x {height},"
          f" weekdays {weekday_width} x {height}")


def main():
    for entry in SETS:
        make_set(*entry)


if __name__ == "__main__":
    main()
