#!/usr/bin/env python3
# The --lines front-end in a real terminal (tmux): each result and error a
# line of its own after the prompt it answers, the prompt and the typed keys
# echoed (Backspace as backspace-blank-backspace), nothing written but
# printable text, CR, LF and BS, and INTERFACE=LINHAS in the settings
# choosing it.
#
# Usage: lines_test.py QUIPULAR VOICE_PACK
import os
import re
import sys

from harness import check, failures, lines_of, wait_for
from harness.tmux import private_setup, run_and_exit, tmux

quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
top, env = private_setup("quipular-lines-", pack, timeout=20.0, QUIPULAR_BRAILLE="off",
                         drop=("DISPLAY", "WAYLAND_DISPLAY"))
# Bytes a line-oriented terminal may be given: printable text (UTF-8 too),
# CR, LF and BS.
FOREIGN = re.compile(rb"[\x00-\x07\x09\x0b\x0c\x0e-\x1f\x7f]")


def start(name, args, windir=None):
    """A run in a session of its own whose bytes are kept in a file."""
    done, log = os.path.join(top, name + ".done"), os.path.join(top, name + ".bytes")
    extra = "VESTRA_WINDIR=%s " % windir if windir else ""
    tmux("new-session", "-d", "-s", name, "-x", "80", "-y", "25", "-c", top,
         "sleep 0.2; env %s%s %s 2>%s; echo $? > %s; sleep 1000"
         % (extra, quipular, args, os.path.join(top, name + ".err"), done))
    tmux("pipe-pane", "-t", name, "cat >> " + log)
    return done, log


def pane(name):
    return [line for line in lines_of(tmux("capture-pane", "-p", "-t", name)) if line]


def typed(name, steps):
    """Sends each key; after a key that has a line, waits for the pane's last
    lines to hold it."""
    for key, line in steps:
        tmux("send-keys", "-t", name, key)
        if line:
            wait_for(lambda: line in pane(name)[-3:], "%r after %s (the pane: %r)"
                     % (line, key, pane(name)[-3:]))


def clean(log, what):
    with open(log, "rb") as f:
        data = f.read()
    bad = FOREIGN.search(data)
    check(bad is None, "%s: a control byte %r reached the terminal near %r"
          % (what, bad and bad.group(), bad and data[max(bad.start() - 20, 0):bad.end() + 5]))
    return data


def main():
    done, log = start("lines", "--lines")
    wait_for(lambda: pane("lines")[-1:] == ["Operando: 0"], "the first prompt")
    typed("lines", [("5", "Operando: 5"), ("Enter", "X = 5.00     RESULTADO"),
                    ("3", None), ("Enter", "X = 3.00     RESULTADO"),
                    ("+", None), ("Enter", "X = 8.00     RESULTADO"),
                    ("1", None), ("Enter", None), ("0", None), ("Enter", "X = 0.00     RESULTADO"),
                    ("/", None), ("Enter", "ERRO 0. MATEMATICAS."),
                    ("7", "Operando: 7"), ("BSpace", None), ("9", "Operando: 9"),
                    ("Enter", "X = 9.00     RESULTADO")])
    got = pane("lines")
    at = got.index("Operando: +") if "Operando: +" in got else 0
    check(got[at:at + 4] == ["Operando: +", "X = 8.00     RESULTADO", "Operando: 1",
                             "X = 1.00     RESULTADO"],
          "the lines in order, each result after its prompt: %r" % got)
    typed("lines", [("Escape", "CONFIRMA SAIDA (s/n)?"), ("s", None), ("n", None)])
    if wait_for(lambda: os.path.exists(done), "the end of the --lines run"):
        with open(done) as f:
            check(f.read().strip() == "0", "--lines: exit code")
    data = clean(log, "--lines")
    check(b"Operando: 7\b \b0\b \b9" in data, "Backspace as backspace-blank-backspace: %r" % data[-300:])
    check(data.endswith(b"\r\n") and b"FIM DA CALCULADORA QUIPULAR" in data,
          "the farewell, then a line end for the shell: %r" % data[-80:])

    # INTERFACE=LINHAS in [QUIPULAR]: no option needed.
    windir = os.path.join(top, "windir")
    os.makedirs(windir)
    with open(os.path.join(pack, "windows", "VESTRA.INI"), encoding="latin-1") as f:
        settings = f.read()
    with open(os.path.join(windir, "VESTRA.INI"), "w", encoding="latin-1") as f:
        f.write(settings + "\n[QUIPULAR]\nINTERFACE=LINHAS\n")
    done, log = start("setting", "", windir)
    wait_for(lambda: pane("setting")[-1:] == ["Operando: 0"], "the prompt with INTERFACE=LINHAS")
    typed("setting", [("Escape", "CONFIRMA SAIDA (s/n)?"), ("s", None), ("n", None)])
    wait_for(lambda: os.path.exists(done), "the end of the run with INTERFACE=LINHAS")
    clean(log, "INTERFACE=LINHAS")
    return 1 if failures else 0


run_and_exit(main, top)
