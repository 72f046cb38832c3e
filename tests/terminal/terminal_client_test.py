#!/usr/bin/env python3
# The terminal front-end in a real terminal (tmux): the screen matches the
# headless one for the same keys, a small terminal gets the size message,
# the terminal settings come back after every way out, a long paste loses no
# key, and a stop and continue give the terminal back and take it again.
#
# Usage: terminal_client_test.py QUIPULAR [--paste]
# With --paste, only the long paste (every entry waits for its prompt's
# pause, so it runs apart from the rest).
import os
import signal
import subprocess
import sys
import tempfile
import time

from harness import (COLUMNS, ROWS, SKIP, check, failures, headless, lines_of, wait_for,
                     wait_settled)
from harness.tmux import Pane, run_and_exit, setup, start_server, tmux

quipular = os.path.abspath(sys.argv[1])
top = tempfile.mkdtemp(prefix="quipular-terminal-")
socket = os.path.join(top, "tmux.sock")
env = dict(os.environ, HOME=os.path.join(top, "home"), VESTRA_WINDIR=os.path.join(top, "windir"),
           QUIPULAR_AUDIO="none")
env.pop("TMUX", None)
os.makedirs(env["HOME"])
os.makedirs(env["VESTRA_WINDIR"])
# A voice with an empty diphone database and no recordings: it starts, and
# says nothing.
voice = os.path.join(top, "voice")
os.makedirs(voice)
for name in ("t.IND", "t.DIF", "regras.rgr", "portug.exc"):
    open(os.path.join(voice, name), "w").close()
with open(os.path.join(env["VESTRA_WINDIR"], "VESTRA.INI"), "w") as f:
    f.write("[SINTETIZADOR]\nDIFONES3=t\n[TRADUTOR]\nDIRDIFONES=%s\ndirLetras=%s\n" % (voice, voice))
setup(socket, env, timeout=10.0)


class Run(Pane):
    """One run of the program in its own tmux session and directory. The
    pane's shell keeps the stty settings from before and after the run."""

    count = 0
    watch_cursor = True

    def __init__(self, columns=COLUMNS, rows=ROWS, keys=""):
        Run.count += 1
        super().__init__("run%d" % Run.count)
        self.start(top, 'cd "$1"\n'
                   'stty -g > stty.before\n'
                   '"$2" --terminal --screen screen.txt ${3:+--keys "$3"}\n'
                   'echo $? > rc.new && mv rc.new rc\n'
                   'stty -g > stty.after\n'
                   'touch done\n'
                   'exec sleep 60\n', "%s '%s'" % (quipular, keys), columns, rows)

    def program_pid(self):
        shell = self.show("#{pane_pid}")
        with open("/proc/%s/task/%s/children" % (shell, shell)) as f:
            children = f.read().split()
        return int(children[0]) if children else None

    def finish(self, expected_code):
        """Waits for the end and checks the exit code and the terminal."""
        done = os.path.join(self.dir, "done")
        if wait_for(lambda: os.path.exists(done), self.name + " to end"):
            with open(os.path.join(self.dir, "rc")) as f:
                code = int(f.read())
            if expected_code is None:
                check(code != 0, "%s: exit code %d, expected a failure" % (self.name, code))
            else:
                check(code == expected_code,
                      "%s: exit code %d, expected %d" % (self.name, code, expected_code))
            before = open(os.path.join(self.dir, "stty.before")).read()
            after = open(os.path.join(self.dir, "stty.after")).read()
            check(before == after, "%s: stty %s became %s" % (self.name, before, after))
            check(self.show("#{alternate_on}") == "0", self.name + ": still in the alternate screen")
            check(self.show("#{cursor_flag}") == "1", self.name + ": cursor left hidden")
            check("CALCULOS FEITOS" not in "\n".join(self.screen()),
                  self.name + ": the program's screen is left behind")
        tmux("kill-session", "-t", self.name)


def paste():
    # A paste far longer than the key queue (64 keys): 60 numbers of nine
    # digits, each with Enter, are 600 keys, the queue nine times over; every
    # one arrives, and the log holds every entry, in order. Each entry waits
    # for its prompt's pause, so this takes some seconds.
    run = Run()
    wait_for(lambda: any(l.startswith("Operando:") for l in run.screen()), "the operand prompt")
    run.settle()
    numbers = [str(100000000 + 1234567 * k) for k in range(1, 61)]
    paste = os.path.join(run.dir, "paste")
    with open(paste, "w") as f:
        f.write("".join(n + "\r" for n in numbers))
    tmux("load-buffer", "-b", "paste", paste)
    tmux("paste-buffer", "-d", "-b", "paste", "-t", run.name)
    log = os.path.join(run.dir, "Calculos_Quipular.txt")

    def logged():
        with open(log, encoding="cp1252", newline="") as f:
            return [line[len("Operando: "):] for line in f.read().split("\r\n")
                    if line.startswith("Operando: ") and line != "Operando: "]
    got = wait_settled(logged, lambda entries: entries == numbers)
    check(got == numbers, "%d of %d pasted entries logged: %r" % (len(got), len(numbers),
                                                                  got[:3] + ["..."] + got[-3:]))
    run.keys("Escape", "s", "n")
    run.finish(0)


def main():
    if not start_server(600):
        return SKIP
    started = time.monotonic()
    if "--paste" in sys.argv:
        paste()
        print("%.1f s" % (time.monotonic() - started))
        return 1 if failures else 0

    # A sum typed at the keyboard shows what the headless run shows, with
    # the cursor on the operand line; Esc s n ends normally.
    run = Run()
    wait_for(lambda: any(l.startswith("Operando:") for l in run.screen()), "the operand prompt")
    run.settle()
    # One digit rewrites a cell or two, never the whole screen.
    output = os.path.join(run.dir, "output")
    tmux("pipe-pane", "-o", "-t", run.name, "cat > " + output)
    wait_for(lambda: os.path.exists(output), "the output pipe")
    run.keys("5")
    written = os.path.getsize(output)
    check(0 < written < 200, "typing one digit wrote %d bytes" % written)
    run.keys("Enter", "3", "Enter", "+", "Enter")
    shown = run.screen()
    expected = headless(quipular, "5<Enter>3<Enter>+<Enter>", env,
                        os.path.join(top, "headless")).rows
    for number, (got, want) in enumerate(zip(shown, expected), 1):
        check(got == want, "row %d is %r, headless has %r" % (number, got, want))
    operand_row = max(i for i, l in enumerate(shown) if l.startswith("Operando:"))
    check(run.show("#{cursor_y}") == str(operand_row),
          "cursor on row %s, the operand prompt is on row %d" % (run.show("#{cursor_y}"),
                                                                 operand_row))
    check(run.show("#{pane_title}") == "QUIPULAR", "title " + run.show("#{pane_title}"))
    run.keys("Escape", "s", "n")
    run.finish(0)
    with open(os.path.join(run.dir, "screen.txt"), encoding="utf-8") as f:
        check("FIM DA CALCULADORA QUIPULAR" in f.read(), "no closing message")

    # Too small a terminal gets a message; keys still work; once big enough
    # the whole screen comes back. Ctrl+C breaks with 255.
    run = Run(60, 20)
    text = lambda: " ".join(run.screen())
    wait_for(lambda: "Aumente a janela" in text(), "the size message")
    check("80 x 25" in text() and "60 x 20" in text(), "size message: " + text())
    run.keys("7", "Enter")
    tmux("resize-window", "-t", run.name, "-x", str(COLUMNS), "-y", str(ROWS))
    wait_for(lambda: any(l.startswith("Operando: 7") for l in run.screen()),
             "the screen after the resize")
    run.keys("C-c")
    run.finish(255)
    # Ctrl+C ends at once, and the log stays on disk with what was done.
    log = os.path.join(run.dir, "Calculos_Quipular.txt")
    check(os.path.exists(log) and "Operando: 7" in open(log, encoding="cp1252").read(),
          "the log after Ctrl+C")

    # A hang-up ends with 255; a crash still gives the terminal back. Keys
    # given with --keys are typed first, then the keyboard takes over.
    for sent, code, keys in (("-HUP", 255, ""), ("-TERM", 255, "7<Enter>"), ("-SEGV", None, "")):
        run = Run(keys=keys)
        shown = "X = 7.00" if keys else "Operando:"
        wait_for(lambda: any(shown in l for l in run.screen()), shown)
        run.settle()
        subprocess.run(["kill", sent, str(run.program_pid())], check=True)
        run.finish(code)

    # Stopped and continued under a shell with job control, as a user
    # would: SIGTSTP gives the terminal back before the stop; after SIGSTOP
    # the shell puts its own settings back and writes its prompt; at "fg"
    # raw mode and the whole screen come back, and keys work as before.
    work = os.path.join(top, "jobs")
    os.makedirs(work)
    tmux("new-session", "-d", "-s", "jobs", "-x", str(COLUMNS), "-y", str(ROWS),
         "env PS1='shell$ ' bash --norc --noprofile -i")
    screen = lambda: lines_of(tmux("capture-pane", "-p", "-t", "jobs"))
    shown = lambda text: any(text in line for line in screen())
    wait_for(lambda: shown("shell$"), "the shell's prompt")
    shell_stty = subprocess.run(["stty", "-F", tmux("display-message", "-p", "-t", "jobs",
                                                    "#{pane_tty}").strip(), "-g"],
                                capture_output=True, text=True).stdout
    tmux("send-keys", "-t", "jobs", "cd %s && %s --terminal" % (work, quipular), "Enter")
    wait_for(lambda: shown("Operando:"), "the operand prompt under the shell")
    shell = tmux("display-message", "-p", "-t", "jobs", "#{pane_pid}").strip()
    with open("/proc/%s/task/%s/children" % (shell, shell)) as f:
        pid = int(f.read().split()[0])
    tty = tmux("display-message", "-p", "-t", "jobs", "#{pane_tty}").strip()

    def stty():
        return subprocess.run(["stty", "-F", tty, "-g"], capture_output=True, text=True).stdout

    def raw():
        """The program's own mode: the terminal's signal keys off."""
        return "-isig" in subprocess.run(["stty", "-F", tty, "-a"], capture_output=True,
                                         text=True).stdout.split()

    def stopped():
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "T"

    def stop_and_continue(sent, number):
        os.kill(pid, sent)
        wait_for(stopped, "the stop after %s" % sent.name)
        wait_for(lambda: shown("Stopped"), "the shell's report of the stop")
        # SIGSTOP cannot be caught: only SIGTSTP gives the screen back.
        if sent == signal.SIGTSTP:
            check(tmux("display-message", "-p", "-t", "jobs", "#{alternate_on}").strip() == "0",
                  "%s: the program's screen left on" % sent.name)
        wait_for(lambda: stty() == shell_stty, "%s: the shell's stty while stopped, not %s" %
                 (sent.name, stty().strip()))
        tmux("send-keys", "-t", "jobs", "fg", "Enter")
        wait_for(lambda: shown("Operando:") and not shown("Stopped"), "the whole screen again")
        wait_for(raw, "raw mode taken again after fg")
        tmux("send-keys", "-t", "jobs", number, "Enter")
        wait_for(lambda: shown("X = %s.00" % number), "%s Enter after %s" % (number, sent.name))

    stop_and_continue(signal.SIGTSTP, "7")
    stop_and_continue(signal.SIGSTOP, "8")
    check(shown("Y = 7.00"), "7 lost: " + " | ".join(l for l in screen() if l))
    # Each key waits for its question: Esc with a key right behind it is Alt.
    for key, question in (("Escape", "CONFIRMA SAIDA"), ("s", "QUER SALVAR"), ("n", None)):
        tmux("send-keys", "-t", "jobs", key)
        if question:
            wait_for(lambda: shown(question), "the question %s" % question)
    wait_for(lambda: shown("shell$") and not shown("Operando:"), "the shell after the end")
    wait_for(lambda: stty() == shell_stty, "the shell's stty after the end, not " + stty())

    print("%.1f s" % (time.monotonic() - started))
    return 1 if failures else 0


run_and_exit(main, top)
