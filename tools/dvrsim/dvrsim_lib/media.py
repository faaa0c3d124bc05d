"""Media sources: H.264 access units and mu-law audio."""


class Media:
    def __init__(self, cfg):
        self.cfg = cfg
