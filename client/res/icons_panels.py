"""Pictures of the side panels: the direction pad of the pan/tilt/zoom panel and of the camera
control pop-up (eight arrows and the centre stop), which its style sheet (qss/ptz_1.qss) puts on
the caption-less pad buttons."""
import math

import make_icons as mk

ARROW = "#d4e6ff"
EDGE = "#13233b"


def arrow(degrees):
    """A filled arrow from the centre towards `degrees` (0 = right, 90 = down)."""
    def draw(c):
        a = math.radians(degrees)
        ux, uy = math.cos(a), math.sin(a)      # along the arrow
        vx, vy = -uy, ux                        # across it

        def at(along, across):
            return (8 + ux * along + vx * across, 8 + uy * along + vy * across)

        outline = [at(6.5, 0), at(1, 5), at(1, 2.2), at(-5.5, 2.2), at(-5.5, -2.2), at(1, -2.2), at(1, -5)]
        c.polygon(outline, EDGE)
        inner = [at(5.2, 0), at(1.7, 3.4), at(1.7, 1.3), at(-4.6, 1.3), at(-4.6, -1.3), at(1.7, -1.3),
                 at(1.7, -3.4)]
        c.polygon(inner, ARROW)
    return draw


def stop(c):
    """The centre of the pad: a round stop mark."""
    c.disc(8, 8, 5.5, EDGE)
    c.disc(8, 8, 4.3, ARROW)
    c.rect(5.6, 5.6, 10.4, 10.4, EDGE)


ICONS = {
    "Resource/ptz_up.png": (24, arrow(-90)),
    "Resource/ptz_down.png": (24, arrow(90)),
    "Resource/ptz_left.png": (24, arrow(180)),
    "Resource/ptz_right.png": (24, arrow(0)),
    "Resource/ptz_leftup.png": (24, arrow(-135)),
    "Resource/ptz_rightup.png": (24, arrow(-45)),
    "Resource/ptz_leftdown.png": (24, arrow(135)),
    "Resource/ptz_rightdown.png": (24, arrow(45)),
    "Resource/ptz_stop.png": (24, stop),
}
