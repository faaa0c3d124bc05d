"""Pictures of the video grid's right-button menu."""
import make_icons as m


def draw_child(c):
    """A window going back into its frame: a small window inside a larger one, an arrow in."""
    m_box = c.box
    m_box(1, 1, 15, 15, "#c8ccd2", m.INK)
    c.rect(1, 1, 15, 3, m.BLUE)
    m_box(6, 7, 13, 13, m.PAPER, m.INK)
    c.rect(6, 7, 13, 8.5, m.BLUE)
    c.line([(2.5, 4.5), (6.5, 8.5)], 1.3, m.RED)
    c.polygon([(7.5, 6.5), (7.5, 9.5), (4.5, 9.5)], m.RED)


ICONS = {
    "Resource/child.png": (16, draw_child),
}
