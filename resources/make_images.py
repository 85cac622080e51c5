#!/usr/bin/python3
"""Draws the program's icon and the picture of the About window.

Run once after a change and commit the PNG files it writes beside itself; the build only
embeds them. Needs Pillow (Debian: python3-pil) and the DejaVu fonts (fonts-dejavu-core).
"""

from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

HERE = Path(__file__).resolve().parent
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SCALE = 4  # drawn this much larger, then scaled down for smooth edges

BLUE = (36, 74, 160, 255)
RED = (206, 32, 41, 255)
INK = (40, 40, 48, 255)
PAPER = (255, 255, 255, 255)
GRID = (150, 158, 172, 255)
RING = (90, 96, 108, 255)


def icon(size):
    """A calendar page: a blue header with two rings, a grid of days, one of them red."""
    big = size * SCALE
    u = big / 64.0  # drawn on a 64-unit grid
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([6 * u, 9 * u, 58 * u, 60 * u], radius=5 * u, fill=PAPER,
                        outline=INK, width=max(1, round(2 * u)))
    d.rounded_rectangle([6 * u, 9 * u, 58 * u, 23 * u], radius=5 * u, fill=BLUE,
                        outline=INK, width=max(1, round(2 * u)))
    d.rectangle([7 * u, 18 * u, 57 * u, 23 * u], fill=BLUE)
    d.line([6 * u, 23 * u, 58 * u, 23 * u], fill=INK, width=max(1, round(2 * u)))
    for x in (20, 44):
        d.rounded_rectangle([(x - 2.5) * u, 4 * u, (x + 2.5) * u, 15 * u], radius=2.5 * u,
                            fill=RING, outline=INK, width=max(1, round(1 * u)))
    cell = 8.0
    for row in range(4):
        for col in range(5):
            x0 = 11 * u + col * cell * u
            y0 = 27 * u + row * cell * u
            colour = RED if (row, col) == (2, 4) else GRID
            d.rectangle([x0, y0, x0 + 5.5 * u, y0 + 5.5 * u], fill=colour)
    return img.resize((size, size), Image.LANCZOS)


def centred(d, y, text, font, fill, width):
    box = d.textbbox((0, 0), text, font=font)
    d.text(((width - (box[2] - box[0])) / 2 - box[0], y - box[1]), text, font=font, fill=fill)


def about_picture():
    """A tear-off calendar on a nail: the program's first day, 7 August 2012."""
    w, h = 71 * SCALE, 126 * SCALE
    img = Image.new("RGB", (w, h), (224, 224, 224))
    d = ImageDraw.Draw(img)
    s = SCALE
    d.line([35.5 * s, 2 * s, 20 * s, 22 * s], fill=INK, width=s)
    d.line([35.5 * s, 2 * s, 51 * s, 22 * s], fill=INK, width=s)
    d.ellipse([33 * s, 0, 38 * s, 5 * s], fill=RING)
    d.rounded_rectangle([4 * s, 20 * s, 67 * s, 122 * s], radius=4 * s, fill=BLUE,
                        outline=INK, width=s)
    for i in range(3):  # the pages under the top one
        d.rectangle([(8 + i) * s, (36 - i) * s, (63 - i) * s, (119 - 2 * i) * s],
                    fill=(236 - 8 * i, 236 - 8 * i, 240 - 8 * i), outline=GRID, width=1)
    d.rectangle([8 * s, 32 * s, 63 * s, 114 * s], fill=PAPER, outline=INK, width=s)
    centred(d, 24 * s, "2012", ImageFont.truetype(FONT, 8 * s), PAPER, w)
    centred(d, 38 * s, "АВГУСТ", ImageFont.truetype(FONT, 8 * s), RED, w)
    centred(d, 53 * s, "7", ImageFont.truetype(FONT, 40 * s), INK, w)
    centred(d, 100 * s, "вторник", ImageFont.truetype(FONT, 8 * s), GRID, w)
    return img.resize((71, 126), Image.LANCZOS)


def main():
    for size in (16, 32, 48, 256):
        icon(size).save(HERE / f"vexilo-{size}.png", optimize=True)
    about_picture().save(HERE / "Image1.png", optimize=True)


if __name__ == "__main__":
    main()
