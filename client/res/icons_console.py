"""Skin bitmaps of the recorder consoles: the pictures a recorder's console layout names for its
menu windows, buttons, edit fields and logo, in the skin's base folder and its "bin" folder (the
console's widgets take some pictures from one and some from the other)."""
import make_icons as m

# Recorders of model type 7 take their pictures from a skin set of their own; both sets hold the
# same pictures.
SKINS = ("Config/TYPE1_CALDORA/VGA/skin_img/", "Config/TYPE5_PRIME/VGA/skin_img/")
FRAME = "#1e2a3a"


def draw_win_bg(c):
    # A dark menu panel with a lighter title band.
    c.rect(0, 0, 16, 16, "#26344a")
    c.rect(0, 0, 16, 2.2, "#3c5a82")
    c.rect(0, 15.6, 16, 16, FRAME)


def button(c, fill, edge):
    c.box(0.3, 1.5, 15.7, 14.5, fill, edge)
    c.rect(1, 2.2, 15, 4.5, "#ffffff40")


def draw_btn_normal(c):
    button(c, "#4a6a96", FRAME)


def draw_btn_focus(c):
    button(c, "#e0a030", FRAME)


def draw_btn_table_each_normal(c):
    # A table cell button of the shutdown page: red, as it ends the recorder's work.
    button(c, "#b43c32", FRAME)


def draw_edit_bg(c):
    c.box(0.3, 2, 15.7, 14, "#f4f6f8", "#6a7a8e")


def draw_logo(c):
    # A recorder with its lens, on a clear (magenta) ground.
    c.box(1, 4, 15, 12, "#3a78c8", FRAME)
    c.disc(5, 8, 2.4, "#d8e8f8")
    c.disc(5, 8, 1.1, FRAME)
    c.rect(9, 6, 14, 7, "#d8e8f8")
    c.rect(9, 9, 12, 10, m.GREEN)


DRAWINGS = {
    "win_bg": draw_win_bg,
    "btn_normal": draw_btn_normal,
    "btn_focus": draw_btn_focus,
    "btn_table_each_normal": draw_btn_table_each_normal,
    "edit_bg": draw_edit_bg,
    "logo": draw_logo,
}

ICONS = {}
for _skin in SKINS:
    for _name, _draw in DRAWINGS.items():
        for _folder in ("", "bin/"):
            ICONS[_skin + _folder + _name + ".bmp"] = (48, _draw)
