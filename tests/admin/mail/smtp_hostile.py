#!/usr/bin/python3
"""A hostile SMTP server for the mail tests: it answers one step with a refusal as long as a
reply may be (RFC 5321 sets no bound on the number of lines of a multi-line reply).

    smtp_hostile.py {greeting|rcpt} LINES WIDTH

The refusal is LINES lines "554-" (the last "554 ") of WIDTH characters each; line n (from 1)
starts with "line n " and is filled with "x". "greeting" refuses at once; "rcpt" greets, takes
EHLO and MAIL FROM and refuses the first RCPT TO. Prints "LISTENING <port>" once it accepts
connections; serves until SIGTERM.
"""
import signal
import socket
import sys
import threading


def refusal(lines, width):
    out = []
    for n in range(1, lines + 1):
        text = ("line %d " % n).ljust(width, "x")
        out.append("554%s%s\r\n" % ("-" if n < lines else " ", text))
    return "".join(out).encode()


def serve(conn, step, lines, width):
    with conn:
        if step == "greeting":
            conn.sendall(refusal(lines, width))
            return
        conn.sendall(b"220 hostile ESMTP\r\n")
        f = conn.makefile("rb")
        for raw in f:
            word = raw.split(b" ", 1)[0].split(b":", 1)[0].strip().upper()
            if word in (b"EHLO", b"HELO"):
                conn.sendall(b"250 hostile\r\n")
            elif word == b"MAIL":
                conn.sendall(b"250 OK\r\n")
            elif word == b"RCPT":
                conn.sendall(refusal(lines, width))
            elif word == b"QUIT":
                conn.sendall(b"221 bye\r\n")
                return
            else:
                conn.sendall(b"502 no\r\n")


def main():
    step, lines, width = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(4)
    print("LISTENING %d" % server.getsockname()[1], flush=True)

    def accept():
        while True:
            conn, _ = server.accept()
            threading.Thread(target=serve, args=(conn, step, lines, width), daemon=True).start()

    threading.Thread(target=accept, daemon=True).start()
    signal.sigwait({signal.SIGTERM, signal.SIGINT})


if __name__ == "__main__":
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGTERM, signal.SIGINT})
    sys.exit(main())
