#!/usr/bin/env python3
# The Braille display through a real BRLTTY: its TTY driver draws the display
# in a tmux pane and its BrlAPI server listens on a local port of the test's
# own. Quipular, headless and in a terminal, shows its focus line there and
# takes keys typed on the display; with no server, or QUIPULAR_BRAILLE=off,
# the screen and the speech are those of a run with the display. Exits 77
# where brltty or tmux is missing.
#
# Usage: brltty_test.py QUIPULAR VOICE_PACK
import os
import shutil
import socket
import subprocess
import sys
import time

from harness import SKIP, check, failures, headless, lines_of, stop, wait_for, written_line
from harness.tmux import finish_run, private_setup, run_and_exit, tmux

BRLAPI_BASE_PORT = 4101  # BrlAPI's port N listens on TCP 4101 + N
if not shutil.which("brltty") or not shutil.which("tmux"):
    print("SKIPPED: brltty or tmux is missing")
    sys.exit(SKIP)

quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
top, env = private_setup("quipular-brltty-", pack, timeout=15.0,
                         drop=("BRLAPI_HOST", "QUIPULAR_BRAILLE"))


def free_port():
    """A BrlAPI port number whose TCP port nobody holds."""
    for _ in range(50):
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
        s.close()
        if port > BRLAPI_BASE_PORT + 1:
            return port - BRLAPI_BASE_PORT
    raise RuntimeError("no free port")


def answers(port):
    try:
        socket.create_connection(("127.0.0.1", BRLAPI_BASE_PORT + port), timeout=1).close()
        return True
    except OSError:
        return False


def display():
    """The display's text: the first line the TTY driver draws in its pane."""
    return lines_of(tmux("capture-pane", "-p", "-t", "brl"))[0].strip()


def run(keys, extra_env):
    """A headless run in the test's directory: exit code, screen, speech and
    standard error."""
    r = headless(quipular, keys, dict(env, **extra_env), top)
    return (r.code, r.screen, r.text("speech.txt"), r.stderr) if r else (None, "", "", "")


def main():
    tmux("new-session", "-d", "-s", "brl", "-x", "80", "-y", "5", "sleep 100000")
    tty = tmux("display-message", "-p", "-t", "brl", "#{pane_tty}").strip()
    port = free_port()
    for d in ("writable", "updatable"):
        os.makedirs(os.path.join(top, d))
    brltty = subprocess.Popen(
        ["brltty", "-n", "-e", "-b", "tt", "-d", tty, "-x", "no", "-s", "no",
         "-A", "host=127.0.0.1:%d,auth=none" % port, "-f", "/dev/null", "-F", "/dev/null",
         "-P", os.path.join(top, "brltty.pid"), "-W", os.path.join(top, "writable"),
         "-U", os.path.join(top, "updatable"), "-Z"],
        env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(top, "brltty.log"), "w"))
    try:
        # The server answers before the driver has its display: the driver's
        # start-up message tells that it has.
        if not (wait_for(lambda: answers(port), "BRLTTY's BrlAPI port") and
                wait_for(lambda: display().startswith("BRLTTY"), "BRLTTY's display")):
            return 1
        scenarios(port)
        messages(port)
        check(brltty.poll() is None, "BRLTTY ended during the test")
        server_stops(port, brltty)
        server_goes(port, brltty)
    finally:
        stop(brltty)
    return 1 if failures else 0


def scenarios(port):
    host = {"BRLAPI_HOST": "127.0.0.1:%d" % port}

    # Headless: the focus line the program shows last, before it leaves
    # the display blank: the result row, the operand typed, the exit
    # question, the selected menu item, the key-test row of the key just
    # pressed, a lesson's closing question; the lesson's narrated rows on
    # the way.
    for n, (keys, wanted) in enumerate((
            ("5<Enter>3<Enter>+<Enter>", "X = 8.00"),
            ("5<Enter>3<Enter>+<Enter>7", "Operando: 7"),
            ("5<Enter>3<Enter>+<Enter>7<Esc>", "CONFIRMA SAIDA (s/n)?"),
            ("<Ctrl+F><Down><Down>", "SQRT"),
            ("<Ctrl+T>n", "N - Numero de per"),
            ("<Ctrl+F><F9><Down><Enter>", "A Quipular trabalha em RPN, a Nota"),
            ("<Ctrl+F><F9><Down><Enter>", "Deseja repetir o Exemplo (s/n)?"))):
        # A headless run ends as soon as its last key is read: BRLTTY, busy
        # elsewhere, may take the last line and the blank display after it
        # in one update and never draw the line. A run is tried three times.
        for attempt in range(3):
            log = os.path.join(top, "pane%d-%d.log" % (n, attempt))
            tmux("pipe-pane", "-t", "brl", "cat >> " + log)
            code, _, _, err = run(keys, host)
            check(code == 3 and err == "",
                  "headless %s: exit %d, standard error %r" % (keys, code, err))
            wait_for(lambda: display() == "",
                     "the display left blank after %s (%r)" % (keys, display()))
            tmux("pipe-pane", "-t", "brl")
            with open(log, encoding="utf-8", errors="replace") as f:
                seen = wanted in f.read()
            if seen:
                break
        check(seen, "%r never reached the display after %s, in three runs" % (wanted, keys))

    # The same keys give the same screen and speech with the display, with no
    # server (one line on standard error) and with the display left alone.
    keys = "1<Enter>2<Enter>*<Enter>4"
    shown = run(keys, host)
    absent = run(keys, {"BRLAPI_HOST": "127.0.0.1:%d" % free_port()})
    before = display()
    off = run(keys, dict(host, QUIPULAR_BRAILLE="off"))
    check(shown[:3] == absent[:3] == off[:3], "the screen or speech differs with and without a display")
    check(len(absent[3].splitlines()) == 1 and "Braille" in absent[3],
          "no server: standard error %r" % absent[3])
    check(off[3] == "" and display() == before,
          "QUIPULAR_BRAILLE=off: standard error %r, the display shows %r" % (off[3], display()))

    # The terminal: keys at the keyboard and on the display's keyboard.
    done = os.path.join(top, "done")
    tmux("new-session", "-d", "-s", "q", "-x", "80", "-y", "25", "-c", top,
         "env BRLAPI_HOST=%s %s --terminal; echo $? > %s" % (host["BRLAPI_HOST"], quipular, done))
    screen = lambda: lines_of(tmux("capture-pane", "-p", "-t", "q"))  # noqa: E731
    wait_for(lambda: "Operando: 0" in screen(), "the operand prompt in the terminal")
    wait_for(lambda: display() == "Operando: 0", "the operand prompt on the display (%r)" % display())
    for key in ("5", "Enter", "3", "Enter", "+", "Enter"):
        tmux("send-keys", "-t", "q", key)
    wait_for(lambda: display().startswith("X = 8.00"), "the result on the display (%r)" % display())
    tmux("send-keys", "-t", "q", "7")
    wait_for(lambda: display() == "Operando: 7", "the typed operand on the display (%r)" % display())
    tmux("send-keys", "-t", "brl", "9")  # typed on the display
    wait_for(lambda: display() == "Operando: 79", "a key from the display (%r)" % display())
    check(any(line.startswith("Operando: 79") for line in screen()),
          "the display's key on the screen: %r" % screen())
    tmux("send-keys", "-t", "brl", "Escape")
    wait_for(lambda: display().startswith("CONFIRMA SAIDA"), "the exit question (%r)" % display())
    tmux("send-keys", "-t", "brl", "s")
    wait_for(lambda: display().startswith("QUER SALVAR"), "the log question (%r)" % display())
    tmux("send-keys", "-t", "brl", "n")
    code = wait_for(lambda: written_line(done), "the end of the terminal run", timeout=60)
    if code:
        check(code == "0", "the terminal run's exit code: %s" % code)


def messages(port):
    """In the terminal with no audio: what the user must read stays on the
    display until the next key, from its first cell; the display's line keys
    read the other rows; nothing of the program's is left at the end."""
    done, log = os.path.join(top, "done3"), os.path.join(top, "pane3.log")
    tmux("new-session", "-d", "-s", "m", "-x", "80", "-y", "25", "-c", top,
         "env BRLAPI_HOST=127.0.0.1:%d %s --terminal; echo $? > %s" % (port, quipular, done))
    screen = lambda: lines_of(tmux("capture-pane", "-p", "-t", "m"))  # noqa: E731
    wait_for(lambda: display() == "Operando: 0", "the prompt on the display (%r)" % display())
    tmux("pipe-pane", "-t", "brl", "cat >> " + log)

    def typed(keys, wanted, held=0):
        for key in keys:
            tmux("send-keys", "-t", "m", key)
        if wait_for(lambda: display().startswith(wanted), "%r on the display after %s (%r)"
                    % (wanted, " ".join(keys), display())) and held:
            # Held: the prompt written after it must not take its place.
            shown = time.monotonic()
            while time.monotonic() - shown < held:
                check(display().startswith(wanted), "%r held for %d s (it shows %r)"
                      % (wanted, held, display()))
                time.sleep(0.25)

    typed(["1", "Enter", "0", "Enter", "/", "Enter"], "ERRO 0. MATEMATICAS.", held=5)
    typed(["2", "0", "n"], "Operando: 20n", held=3)
    typed(["5", "Enter", "3", "Enter", "+", "Enter"], "X = 8.00     RESULTADO")
    # The line keys of the display (the tt driver's arrows): the rows that
    # hold text above and below the result, as the screen has them; a key
    # typed brings the prompt back.
    rows = [line.strip() for line in screen() if line.strip()]
    at = max(i for i, line in enumerate(rows) if line.startswith("X = 8.00"))
    for key, row in (("Up", rows[at - 1]), ("Up", rows[at - 2]), ("Down", rows[at - 1]),
                     ("Down", rows[at]), ("Down", rows[at + 1])):
        tmux("send-keys", "-t", "brl", key)
        wait_for(lambda: rows and display() == row[:40].rstrip(),
                 "line %s: %r on the display" % (key.lower(), row))
    typed(["7"], "Operando: 7")
    typed(["C-t"], "TEST TECLADO")
    typed(["n"], "N - Numero de per")
    typed(["Escape"], "Operando:")
    # Each key of the exit waits for its question: Esc with a key right
    # behind it is Alt.
    typed(["Escape"], "CONFIRMA SAIDA")
    typed(["s"], "QUER SALVAR")
    typed(["s"], "QUAL")
    for key in ("c", "o", "n", "t", "a", "s", "Enter"):
        tmux("send-keys", "-t", "m", key)
    if wait_for(lambda: os.path.exists(done), "the end of the run"):
        with open(done) as f:
            check(f.read().strip() == "0", "the run's exit code")
        wait_for(lambda: display() == "", "a blank display after the end (%r)" % display())
    tmux("pipe-pane", "-t", "brl")
    with open(log, encoding="utf-8", errors="replace") as f:
        drawn = f.read()
    for wanted in ("ARQUIVO GRAVADO", "FIM DA CALCULADORA QUIPULAR"):
        check(wanted in drawn, "%r never reached the display" % wanted)
    check(os.path.exists(os.path.join(top, "contas.txt")), "the log saved as contas.txt")


def server_stops(port, brltty):
    """BRLTTY stopped (SIGSTOP) while the program ends in the terminal: the
    run ends within a few seconds, without waiting for the server, and the
    terminal is given back in its normal mode."""
    import signal
    done, err = os.path.join(top, "done-stop"), os.path.join(top, "err-stop")
    modes = os.path.join(top, "stty-stop")
    tmux("new-session", "-d", "-s", "stop", "-x", "80", "-y", "25", "-c", top,
         "env BRLAPI_HOST=127.0.0.1:%d %s --terminal 2>%s; echo $? > %s.new; stty -a > %s; "
         "mv %s.new %s; sleep 60" % (port, quipular, err, done, modes, done, done))
    wait_for(lambda: display() == "Operando: 0", "the display taken (%r)" % display())
    screen = lambda: lines_of(tmux("capture-pane", "-p", "-t", "stop"))  # noqa: E731
    for key, line in (("5", None), ("Enter", "      X = 5.00"), ("Escape", "CONFIRMA SAIDA"),
                      ("s", "QUER SALVAR")):
        tmux("send-keys", "-t", "stop", key)
        if line:
            wait_for(lambda: any(r.startswith(line) for r in screen()), line)
    brltty.send_signal(signal.SIGSTOP)
    try:
        tmux("send-keys", "-t", "stop", "n")
        if wait_for(lambda: os.path.exists(done), "the end with the display stopped", timeout=10):
            with open(done) as f, open(err) as e, open(modes) as m:
                code, said, stty = f.read().strip(), e.read(), m.read()
            check(code == "0" and len(said.splitlines()) <= 1,
                  "display stopped: exit %s, standard error %r" % (code, said))
            check(" icanon" in stty and " echo" in stty, "display stopped: the terminal left raw")
    finally:
        brltty.send_signal(signal.SIGCONT)
        tmux("kill-session", "-t", "stop")


def server_goes(port, brltty):
    """BRLTTY ends while the program runs in the terminal: it goes on, and
    says so in one line on standard error at its end."""
    done, err = os.path.join(top, "done2"), os.path.join(top, "err2")
    tmux("new-session", "-d", "-s", "gone", "-x", "80", "-y", "25", "-c", top,
         "env BRLAPI_HOST=127.0.0.1:%d %s --terminal 2>%s; echo $? > %s"
         % (port, quipular, err, done))
    wait_for(lambda: display() == "Operando: 0", "the display taken (%r)" % display())
    stop(brltty)
    # Each key of the exit waits for its question: Esc with a key right
    # behind it is Alt.
    finish_run("gone", [("5", None), ("Enter", None), ("2", None), ("Enter", None), ("*", None),
                        ("Enter", "      X = 10.00"), ("Escape", "CONFIRMA SAIDA"),
                        ("s", "QUER SALVAR"), ("n", None)],
               done, err, "Braille", "the run whose display went")


run_and_exit(main, top)
