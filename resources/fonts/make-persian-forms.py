#!/usr/bin/python3
"""Builds the program's font from Vazirmatn (SIL Open Font License 1.1, see OFL.txt).

The program's texts are stored with Arabic yeh (U+064A) and sometimes Arabic kaf (U+0643). Persian readers expect
those letters drawn as Persian yeh (no dots under the final form) and keheh. Rather than altering any text, the
font maps the two code points to the Persian glyphs, so every widget, box and printout draws them the Persian way
while the stored strings stay exactly as written. The family is renamed so it never shadows an installed Vazirmatn.

Usage: make-persian-forms.py <Vazirmatn-Regular.ttf> <Vazirmatn-Bold.ttf>  (from the npm package vazirmatn@33.0.3)
"""
import sys
from fontTools.ttLib import TTFont

FAMILY = "Tovrin Vazirmatn"
PERSIAN_FORMS = {0x064A: 0x06CC, 0x0643: 0x06A9}  # Arabic yeh -> Farsi yeh, Arabic kaf -> keheh


def convert(source, style, target):
    font = TTFont(source)
    for table in font["cmap"].tables:
        if not table.isUnicode():
            continue
        for arabic, persian in PERSIAN_FORMS.items():
            if persian in table.cmap:
                table.cmap[arabic] = table.cmap[persian]
    names = font["name"]
    full = f"{FAMILY} {style}"
    postscript = f"{FAMILY.replace(' ', '')}-{style}"
    for record in names.names:
        if record.nameID in (1, 16):
            names.setName(FAMILY, record.nameID, record.platformID, record.platEncID, record.langID)
        elif record.nameID in (3, 4):
            names.setName(full, record.nameID, record.platformID, record.platEncID, record.langID)
        elif record.nameID == 6:
            names.setName(postscript, record.nameID, record.platformID, record.platEncID, record.langID)
    font.save(target)


if __name__ == "__main__":
    convert(sys.argv[1], "Regular", "TovrinVazirmatn-Regular.ttf")
    convert(sys.argv[2], "Bold", "TovrinVazirmatn-Bold.ttf")
