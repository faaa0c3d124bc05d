"""Pictures of the backup pages, drawn with the helpers of make_icons.py."""
import make_icons as m


def draw_remove_rows(c):
    """A list with a red cross over it: removes rows from a job list."""
    c.box(1.5, 2, 11.5, 14, m.PAPER, m.INK)
    for y in (4.5, 7.5, 10.5):
        c.rect(3.5, y, 9.5, y + 1.2, m.STEEL)
    c.line([(9, 8.5), (14.5, 14)], 2.2, m.RED)
    c.line([(14.5, 8.5), (9, 14)], 2.2, m.RED)


ICONS = {
    "Resource/21.png": (16, draw_remove_rows),
}
