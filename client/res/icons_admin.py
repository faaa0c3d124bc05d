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


def database(c):
    # A stack of three disks: the central database server.
    for top in (3, 7, 11):
        c.ellipse(8, top + 2.5, 6, 2, m.BLUE)
        c.ellipse(8, top, 6, 2, "#8cb8e6")
    c.ellipse(8, 3, 6, 2, m.GLASS)


def notice(c):
    # A pinned sheet with lines of text.
    c.box(2.5, 2.5, 13.5, 14.5, m.PAPER, m.INK)
    for y in (6, 8.5, 11):
        c.line([(4.5, y), (11.5, y)], 1.0, m.STEEL)
    c.disc(8, 3, 1.6, m.RED)


def log_list(c):
    # A list with a clock: the event log.
    c.box(1.5, 1.5, 11.5, 14.5, m.PAPER, m.INK)
    for y in (4.5, 7, 9.5, 12):
        c.line([(3.5, y), (9.5, y)], 1.0, m.STEEL)
    c.disc(11.5, 11.5, 3.8, m.INK)
    c.disc(11.5, 11.5, 3.1, m.PAPER)
    c.line([(11.5, 11.5), (11.5, 9.3)], 0.8, m.INK)
    c.line([(11.5, 11.5), (13, 11.5)], 0.8, m.INK)


ICONS["db_normal.PNG"] = (16, database)
ICONS["Resource/icon_notice.png"] = (16, notice)
ICONS["Resource/48.png"] = (16, log_list)
