"""Pictures of the e-map windows: the plan shown before an operator loads a map of their own,
and the menu picture that docks a popped-out window back ("Child Mode")."""
import make_icons as m


def draw_map_default(c):
    # A floor plan on a light grid: outer walls, two rooms, a door gap and a marker pin, so an
    # empty e-map window reads as "a map goes here".
    c.rect(0, 0, 16, 16, "#eef2f6")
    for i in range(1, 16):
        c.rect(i - 0.02, 0, i + 0.02, 16, "#d6dde6")
        c.rect(0, i - 0.02, 16, i + 0.02, "#d6dde6")
    wall = "#4a5868"
    c.rect(1.5, 1.5, 14.5, 1.9, wall)
    c.rect(1.5, 14.1, 14.5, 14.5, wall)
    c.rect(1.5, 1.5, 1.9, 14.5, wall)
    c.rect(14.1, 1.5, 14.5, 14.5, wall)
    c.rect(8.8, 1.5, 9.2, 6.5, wall)
    c.rect(8.8, 8.5, 9.2, 14.5, wall)
    c.rect(1.5, 8.3, 6.0, 8.7, wall)
    c.rect(7.5, 8.3, 9.2, 8.7, wall)
    c.rect(2.3, 2.3, 8.4, 7.9, "#dcebd2")
    c.rect(9.6, 2.3, 13.7, 13.7, "#f5ebd2")
    c.disc(11.6, 6.0, 1.1, m.RED)
    c.polygon([(10.8, 6.6), (12.4, 6.6), (11.6, 8.2)], m.RED)
    c.disc(11.6, 6.0, 0.45, m.PAPER)


def draw_child(c):
    # The popped-out window going back into its frame: a big frame with a small window inside
    # and an arrow pointing in.
    c.box(1, 1, 15, 15, "#c8ccd2", m.INK)
    c.rect(1, 1, 15, 3, m.BLUE)
    c.box(7, 7, 13, 13, m.PAPER, m.INK)
    c.line([(3.5, 4.5), (7.5, 8.5)], 1.3, m.RED)
    c.polygon([(8.5, 6), (9, 9.5), (5.5, 9)], m.RED)


ICONS = {
    "Resource/map_default.png": (256, draw_map_default),
    "Resource/child.png": (16, draw_child),
}
