#!/usr/bin/env python3
"""Servers that do not behave, written by the test as loopback listeners:
a BrlAPI server that accepts and never answers, one that sends garbage, one
that reports a display thousands of cells wide, one that sends a flood of
keys at once, one that stops answering when the display is handed back; a
speech-dispatcher address where nobody answers. Quipular, headless, must
end by itself within a few seconds each time, say once what it found, and
lose no key. A run that takes longer than HANG seconds is a hang.

Usage: fake_servers_test.py QUIPULAR VOICE_PACK
"""
import os
import socket
import struct
import subprocess
import sys
import threading
import time

from harness import check, failures, side_by_side, wait_settled
from harness.tmux import private_setup, run_and_exit, tmux

HANG = 10  # seconds after which a run is taken as hung
LOG = "Calculos_Quipular.txt"
quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
top, env = private_setup("quipular-servers-", pack, drop=("BRLAPI_HOST", "QUIPULAR_BRAILLE",
                                                           "SPEECHD_ADDRESS"))
# Where a local BrlAPI server would be, nobody is looked for: only the
# fake ones named by BRLAPI_HOST answer.
KEY_ENTER = 0xFF0D  # BrlAPI's keysym for Enter; a digit's keysym is its code


def packet(kind, payload=b""):
    return struct.pack(">II", len(payload), ord(kind)) + payload


def read_exact(conn, n):
    data = b""
    while len(data) < n:
        got = conn.recv(n - len(data))
        if not got:
            raise EOFError
        data += got
    return data


class FakeBrlapi:
    """One connection of a BrlAPI server on a loopback port. mode: "silent"
    (accepts, never answers), "garbage" (answers with bytes that are no
    packet), "normal", "stalls" (stops reading and answering once the
    display is taken, as a stopped server does). keys are sent all at once
    when the display is taken."""

    def __init__(self, mode, width=40, keys=()):
        self.mode, self.width, self.keys = mode, width, keys
        self.regions = []  # the cell count of every write
        self.texts = []    # the UTF-8 text of every write
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(4)
        self.port = self.listener.getsockname()[1]
        self.conns = []
        self.stopped = threading.Event()  # set when the test ends a stalled server
        threading.Thread(target=self.serve, daemon=True).start()

    def host(self):
        # BrlAPI's ":N" is TCP port 4101 + N.
        return "127.0.0.1:%d" % (self.port - 4101)

    def serve(self):
        while True:
            try:
                conn, _ = self.listener.accept()
            except OSError:
                return
            self.conns.append(conn)
            threading.Thread(target=self.talk, args=(conn,), daemon=True).start()

    def talk(self, conn):
        try:
            if self.mode == "silent":
                while conn.recv(4096):
                    pass
                return
            if self.mode == "garbage":
                conn.sendall(b"\xff\xff\xff\xf0garbage" * 64)
                while conn.recv(4096):
                    pass
                return
            conn.sendall(packet("v", struct.pack(">I", 8)))
            while True:
                size, kind = struct.unpack(">II", read_exact(conn, 8))
                body = read_exact(conn, size)
                kind = chr(kind) if kind < 256 else kind
                if kind == "v":
                    conn.sendall(packet("a", struct.pack(">I", ord("N"))))
                elif kind == "s":
                    conn.sendall(packet("s", struct.pack(">II", self.width, 1)))
                elif kind == "t":
                    conn.sendall(packet("A"))
                    conn.sendall(b"".join(packet("k", struct.pack(">II", 0, k)) for k in self.keys))
                    if self.mode == "stalls":
                        self.stopped.wait()
                        return
                elif kind == "w":
                    self.note_write(body)
                elif kind in ("L", "m", "u"):
                    conn.sendall(packet("A"))
        except (EOFError, OSError):
            pass

    def note_write(self, body):
        flags, = struct.unpack(">I", body[:4])
        at = 4
        if flags & 0x01:
            at += 4
        if flags & 0x02:
            _, size = struct.unpack(">Ii", body[at:at + 8])
            self.regions.append(abs(size))
            at += 8
        else:
            self.regions.append(self.width)
        if flags & 0x04:
            length, = struct.unpack(">I", body[at:at + 4])
            self.texts.append(body[at + 4:at + 4 + length])

    def close(self):
        self.stopped.set()
        self.listener.close()
        for c in self.conns:
            c.close()


class Run:
    def __init__(self, where, keys, extra_env, timeout=HANG):
        self.dir = where
        started = time.monotonic()
        cmd = [quipular, "--headless", "--keys", keys, "--screen", "screen.out",
               "--speech", "speech.out"]
        try:
            p = subprocess.run(cmd, cwd=where, env=dict(env, **extra_env), timeout=timeout,
                               capture_output=True, text=True)
            self.code, self.stderr = p.returncode, p.stderr
        except subprocess.TimeoutExpired:
            self.code, self.stderr = None, ""
        self.seconds = time.monotonic() - started

    def text(self, name):
        path = os.path.join(self.dir, name)
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8" if name.endswith(".out") else "latin-1", newline="") as f:
            return f.read()


def new_dir(name):
    path = os.path.join(top, name)
    os.makedirs(path)
    return path


def brlapi_hangs():
    """Silent, garbage, and a server that stops once the display is taken:
    each run ends by itself; the silent server is said not to answer."""
    side_by_side(*(lambda case=case: brlapi_hang(*case)
                   for case in (("silent", "5<Enter>", 3), ("garbage", "5<Enter>", 3),
                                ("stalls", "5<Enter><Esc>sn", 0))))


def brlapi_hang(mode, keys, code):
    """One of them, with a server of its own."""
    server = FakeBrlapi(mode)
    r = Run(new_dir("brlapi-" + mode), keys, {"BRLAPI_HOST": server.host()})
    server.close()
    check(r.code == code, "BrlAPI %s: exit %s after %.1f s (want %d)" % (mode, r.code, r.seconds,
                                                                    code))
    # (n at the exit removes the log.)
    check("Operando: 5" in r.text(LOG) if code == 3 else "words cinco" in r.text("speech.out"),
          "BrlAPI %s: the calculation went on" % mode)
    lines = [line for line in r.stderr.splitlines() if "Braille" in line]
    check(len(lines) == (mode != "stalls"),
          "BrlAPI %s: standard error %r" % (mode, r.stderr))
    if mode == "silent":
        check(lines and "answer" in lines[0], "BrlAPI %s: says it does not answer: %r" %
              (mode, lines))
    if mode == "silent":
        check("A LINHA BRAILLE NÃO RESPONDE" in r.text("screen.out") and
              "sound DOBrailleMudo" in r.text("speech.out"),
              "BrlAPI silent: told on the screen and aloud")


def brlapi_huge_width():
    """A display reported 1,020 and 2^31-1 cells wide gets one screen line."""
    for width in (1020, 2**31 - 1):
        server = FakeBrlapi("normal", width=width)
        r = Run(new_dir("brlapi-width-%d" % width), "5<Enter>", {"BRLAPI_HOST": server.host()})
        server.close()
        check(r.code == 3, "width %d: exit %s (%s)" % (width, r.code, r.stderr[-300:]))
        check(server.regions and max(server.regions) <= 80,
              "width %d: writes of %s cells" % (width, sorted(set(server.regions))))
        check(any(t.startswith("Operando: 5".encode()) for t in server.texts),
              "width %d: the focus line reached the display" % width)


def brlapi_key_flood():
    """30 numbers of nine digits, each with Enter, sent by the display at once
    (300 keys, more than four times the key queue) while the program runs in
    a terminal on the real clock: every entry is logged, in order, and no
    number that was not typed."""
    numbers = [str(100000000 + 1234567 * k) for k in range(1, 31)]
    keys = []
    for n in numbers:
        keys += [ord(c) for c in n] + [KEY_ENTER]
    server = FakeBrlapi("normal", keys=keys)
    where = new_dir("brlapi-flood")
    log = os.path.join(where, LOG)
    tmux("new-session", "-d", "-s", "flood", "-x", "80", "-y", "25",
         "cd '%s' && BRLAPI_HOST=%s '%s' --terminal; exec sleep 60" % (where, server.host(),
                                                                       quipular))

    def entries():
        try:
            with open(log, "rb") as f:
                text = f.read().decode("latin-1")
        except FileNotFoundError:
            return []
        return [line[len("Operando: "):] for line in text.split("\r\n")
                if line.startswith("Operando: ") and line != "Operando: "]
    # The flood is done when every entry is there, or the log has stopped
    # growing for a while.
    got = wait_settled(entries, lambda now: now == numbers, timeout=60)
    tmux("kill-session", "-t", "flood")
    server.close()
    check(got == numbers,
          "key flood: %d entries in the log, %r" % (len(got), got[:3] + ["..."] + got[-3:]))


def speechd_silent():
    """A speech-dispatcher address where a listener accepts and never
    answers: the recorded prompts play, after a few seconds at most."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(4)
    held = []
    threading.Thread(target=lambda: held.append(listener.accept()), daemon=True).start()
    address = "inet_socket:127.0.0.1:%d" % listener.getsockname()[1]
    r = Run(new_dir("speechd-silent"), "5<Enter>",
            {"QUIPULAR_AUDIO": "speechd", "SPEECHD_ADDRESS": address})
    listener.close()
    check(r.code == 3, "silent speechd: exit %s after %.1f s" % (r.code, r.seconds))
    check("words cinco" in r.text("speech.out") and "sound DOVozMuda" in r.text("speech.out"),
          "silent speechd: the recorded prompts, and the notice aloud")
    check("O SERVIDOR DE VOZ NÃO RESPONDE" in r.text("screen.out"),
          "silent speechd: the notice on the screen")
    check(len(r.stderr.splitlines()) == 1 and "answer" in r.stderr,
          "silent speechd: standard error %r" % r.stderr)


def not_asked():
    """No display asked for and none there: nothing on standard error. One
    asked for (QUIPULAR_BRAILLE=on) and none there: one line."""
    where = new_dir("not-asked")
    r = Run(where, "5<Enter>", {})
    check(r.code == 3 and "Braille" not in r.stderr, "not asked: standard error %r" % r.stderr)
    nobody = socket.socket()
    nobody.bind(("127.0.0.1", 0))
    port = nobody.getsockname()[1]
    nobody.close()  # a port where nobody listens
    r = Run(where, "5<Enter>", {"BRLAPI_HOST": "127.0.0.1:%d" % (port - 4101)})
    check(r.code == 3 and r.stderr.count("no Braille display") == 1,
          "BRLAPI_HOST with no server: standard error %r" % r.stderr)


def main():
    # Side by side: each mostly waits for a server's time limit to pass.
    side_by_side(*(test for test in (not_asked, brlapi_hangs, brlapi_huge_width, brlapi_key_flood,
                                     speechd_silent)
                   if len(sys.argv) <= 3 or test.__name__ in sys.argv[3:]))
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


run_and_exit(main, top)
