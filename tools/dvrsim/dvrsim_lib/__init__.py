"""dvrsim: recorder side of the recorder protocol, for the client's tests and demo."""
