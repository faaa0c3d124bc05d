#!/usr/bin/python3
"""A real SMTP server (aiosmtpd) for the mail tests.

    smtp_sink.py OUTDIR [--auth USER PASSWORD] [--tls CERT KEY]

Prints "LISTENING <port>" once it accepts connections. Every message it takes is parsed with
Python's email package and written to OUTDIR/<n>.json: envelope sender and recipients, the
decoded From, To and Subject, the HTML part's text and each attachment's file name, content type
and bytes (hex). --tls serves TLS from the first byte; --auth asks for AUTH (LOGIN or PLAIN) on
a plain connection too. Runs until SIGTERM.
"""
import argparse
import asyncio
import email
import email.policy
import json
import os
import signal
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Sink:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        msg = email.message_from_bytes(envelope.content, policy=email.policy.default)
        out = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from": str(msg["From"]),
            "to": str(msg["To"]),
            "subject": str(msg["Subject"]),
            "html": None,
            "attachments": [],
            "authenticated": session.authenticated,
        }
        for part in msg.walk():
            if part.is_multipart():
                continue
            if part.get_content_disposition() == "attachment":
                out["attachments"].append({"name": part.get_filename(), "type": part.get_content_type(),
                                           "hex": part.get_payload(decode=True).hex()})
            elif part.get_content_type() == "text/html":
                out["html"] = part.get_content()
        path = os.path.join(self.outdir, "%d.json" % self.count)
        with open(path + ".tmp", "w") as f:
            json.dump(out, f)
        os.replace(path + ".tmp", path)
        return "250 OK"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("outdir")
    p.add_argument("--auth", nargs=2)
    p.add_argument("--tls", nargs=2)
    a = p.parse_args()

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and a.auth is not None
              and auth_data.login.decode() == a.auth[0] and auth_data.password.decode() == a.auth[1])
        return AuthResult(success=ok, handled=False)

    kwargs = {}
    if a.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(a.tls[0], a.tls[1])
        kwargs["ssl_context"] = context
    if a.auth:
        kwargs["authenticator"] = authenticator
        kwargs["auth_require_tls"] = False
        kwargs["auth_required"] = True
    # aiosmtpd checks its own start by connecting to the port it was given: pick a free one.
    import socket
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    controller = Controller(Sink(a.outdir), hostname="127.0.0.1", port=port, **kwargs)
    controller.start()
    print("LISTENING %d" % port, flush=True)
    signal.sigwait({signal.SIGTERM, signal.SIGINT})
    controller.stop()


if __name__ == "__main__":
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGTERM, signal.SIGINT})
    sys.exit(main())
