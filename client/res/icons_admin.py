"""Pictures of the validation console's account tree: one person per account level (a badge of
the level's colour; grey while logged out) and the recorder disk state (green light on, grey off)."""
import make_icons as m

LEVELS = {"root": "#c8a028", "admin": "#d23228", "super": "#3a78c8", "normal": "#2ec23c"}
OFF = "#a0a4aa"


def person(c, body, badge):
    c.ellipse(7, 16, 6, 6, body)
    c.disc(7, 5.5, 3.3, "#f0c8a0" if body != OFF else "#d2d4d8")
    c.disc(12.5, 12.5, 3, m.INK)
    c.disc(12.5, 12.5, 2.3, badge)


def account(level, on):
    colour = LEVELS[level]
    return 16, lambda c: person(c, m.BLUE if on else OFF, colour if on else OFF)


def disk(c, light):
    c.box(1.5, 4, 14.5, 12, "#c8ccd2", m.INK)
    c.rect(3, 9, 10, 10, m.STEEL)
    c.disc(12, 9.5, 1.4, light)


ICONS = {}
for _level in LEVELS:
    ICONS["account_%s_off.PNG" % _level] = account(_level, False)
    ICONS["account_%s_on.PNG" % _level] = account(_level, True)
ICONS["hdd_on.png"] = (16, lambda c: disk(c, m.GREEN))
ICONS["hdd_off.png"] = (16, lambda c: disk(c, OFF))
