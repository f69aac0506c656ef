#!/usr/bin/python3
"""Builds the program's font from Vazirmatn (SIL Open Font License 1.1, see OFL.txt).

The program's texts are stored with Arabic yeh (U+064A) and sometimes Arabic kaf (U+0643). Persian readers expect
those letters drawn as Persian yeh (no dots under the final form) and keheh. Rather than altering any text, the
font draws them so: the glyphs of Arabic yeh and kaf, in every joining form, take the outlines of Persian yeh and
keheh. They stay glyphs of their own, so a PDF printed with the font still tells the two letters apart when its
text is searched or copied.

The contextual alternates ('calt': longer joins before some letters) are switched off. They are glyphs without a
character of their own, which a PDF cannot map back to text: with them a printed word loses letters when searched
or copied. Every glyph that shaping produces is then one of the font's character glyphs.

The family is renamed so it never shadows an installed Vazirmatn.

Usage: make-persian-forms.py <Vazirmatn-Regular.ttf> <Vazirmatn-Bold.ttf>  (from the npm package vazirmatn@33.0.3)
"""
import copy
import sys

from fontTools.ttLib import TTFont

FAMILY = "Tovrin Vazirmatn"

# Arabic letter (and its presentation forms) -> the Persian letter whose outline it takes.
PERSIAN_FORMS = {
    0x064A: 0x06CC,  # yeh
    0xFEF1: 0xFBFC,  # yeh isolated
    0xFEF2: 0xFBFD,  # yeh final
    0xFEF3: 0xFBFE,  # yeh initial
    0xFEF4: 0xFBFF,  # yeh medial
    0x0643: 0x06A9,  # kaf -> keheh
    0xFED9: 0xFB8E,  # kaf isolated
    0xFEDA: 0xFB8F,  # kaf final
    0xFEDB: 0xFB90,  # kaf initial
    0xFEDC: 0xFB91,  # kaf medial
}

DROPPED_FEATURES = {"calt"}


def uses(glyf, name, component):
    glyph = glyf[name]
    if not glyph.isComposite():
        return False
    return any(c.glyphName == component or uses(glyf, c.glyphName, component) for c in glyph.components)


def take_persian_outlines(font):
    cmap = font.getBestCmap()
    glyf = font["glyf"]
    hmtx = font["hmtx"]
    for arabic, persian in PERSIAN_FORMS.items():
        target, source = cmap.get(arabic), cmap.get(persian)
        # A Persian form built on the Arabic one (initial and medial yeh) already looks the same.
        if not target or not source or target == source or uses(glyf, source, target):
            continue
        glyf[target] = copy.deepcopy(glyf[source])
        hmtx[target] = hmtx[source]


def drop_features(font):
    for tag in ("GSUB", "GPOS"):
        if tag not in font:
            continue
        table = font[tag].table
        dropped = {i for i, record in enumerate(table.FeatureList.FeatureRecord) if record.FeatureTag in DROPPED_FEATURES}
        for script in table.ScriptList.ScriptRecord:
            systems = [script.Script.DefaultLangSys] + [r.LangSys for r in script.Script.LangSysRecord]
            for system in systems:
                if system is None:
                    continue
                system.FeatureIndex = [i for i in system.FeatureIndex if i not in dropped]
                system.FeatureCount = len(system.FeatureIndex)
                if system.ReqFeatureIndex in dropped:
                    system.ReqFeatureIndex = 0xFFFF


def rename(font, style):
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


def convert(source, style, target):
    font = TTFont(source)
    take_persian_outlines(font)
    drop_features(font)
    rename(font, style)
    font.save(target)


if __name__ == "__main__":
    convert(sys.argv[1], "Regular", "TovrinVazirmatn-Regular.ttf")
    convert(sys.argv[2], "Bold", "TovrinVazirmatn-Bold.ttf")
