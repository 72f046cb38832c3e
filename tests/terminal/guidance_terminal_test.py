#!/usr/bin/env python3
# The menu, the key test, an interactive example and a lesson tried in a real
# terminal (tmux) as a new user would: one key at a time, the screen read
# back after each, the speech and state files checked after a normal exit.
#
# Usage: guidance_terminal_test.py QUIPULAR VOICE_PACK
import os
import sys
import tempfile
import time

from harness import SKIP, check, failures, headless, side_by_side, wait_for
from harness.tmux import Pane, private_setup, run_and_exit, start_server, tmux

quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
top, env = private_setup("quipular-guidance-", pack, timeout=20.0)


class Run(Pane):
    """One run in its own tmux session and directory, with --screen, --speech
    and --state files written at the end."""

    quiet = 0.4

    def __init__(self, name, extra_env=None):
        super().__init__(name)
        self.start(top, 'cd "$1"\n'
                   '"$2" --terminal --screen screen.txt --speech speech.txt --state state.txt\n'
                   'echo $? > rc.new && mv rc.new rc\n'
                   'exec sleep 60\n', quipular, extra_env=extra_env)
        wait_for(lambda: any(l.startswith("Operando:") for l in self.screen()),
                 self.name + ": the operand prompt")
        self.settle()

    def finish(self):
        """Ends through the exit dialogue; answers the speech and state lines."""
        self.keys("Escape", "s", "n")
        rc = os.path.join(self.dir, "rc")
        if wait_for(lambda: os.path.exists(rc), self.name + " to end"):
            with open(rc) as f:
                check(f.read().strip() == "0", self.name + ": exit code")
        tmux("kill-session", "-t", self.name)
        speech = open(os.path.join(self.dir, "speech.txt"), encoding="utf-8").read()
        state = open(os.path.join(self.dir, "state.txt"), encoding="utf-8").read()
        return speech.splitlines(), state.splitlines()


def has_run(lines, run):
    return any(lines[i:i + len(run)] == run for i in range(len(lines) - len(run) + 1))


def menu_stores_rate():
    # 12 Enter, then i chosen in the financial registers' column: 12 percent
    # goes to i, and RCL i brings 12 back.
    run = Run("menu-stores-rate")
    run.keys("1", "2", "Enter")
    shown = run.keys("C-f")
    check(" QUIPULAR  v.1.0" in shown[12] and "FUNCOES GERAIS" in shown[14],
          "the menu opens at the general functions: %r" % shown[12:16])
    shown = run.keys("F4")
    check("REGISTROS FINANCEIROS" in shown[14], "F4 shows the financial registers")
    shown = run.keys("Down", "Down")
    check(shown[14].endswith("|     i"), "the highlight is on i: %r" % shown[14])
    shown = run.keys("Enter")
    check("QUIPULAR  v.1.0" not in run.text(), "the menu is gone after the choice")
    check(any(l == "Operando: i" for l in shown), "the prompt shows i")
    shown = run.keys("r", "i")
    check(any(l.startswith("Operando: RCL+i") for l in shown), "RCL i is shown")
    check(any(l.strip().startswith("X = 12.00") for l in shown), "X holds 12 again")
    speech, state = run.finish()
    check("i = 0.12" in state, "i holds 12 percent: %s" % state)
    check("X = 12" in state and "Y = 12" in state, "the stack holds 12 twice")
    check(has_run(speech, ["sound DOi", "sound DOArmazena", "sound DOi", "words doze"]),
          "i is chosen, stored and spoken")
    check("sound DOfuninserida" not in speech, "a store key is chosen without DOfuninserida")


def key_test_rows():
    # Ctrl+T, then n, F5 and Esc: each row shown and spoken; the terminal
    # shows what a headless run shows for the same keys.
    run = Run("key-test-rows")
    shown = run.keys("C-t")
    check("TEST TECLADO" in shown[8], "the key test's header")
    shown = run.keys("n", "F5")
    check(shown[11].split() == ["N", "Numero", "de", "períodos", "Reg.", "Financeiros"],
          "the row of n: %r" % shown[11])
    check(shown[12].split() == ["F5", "Tecla", "de", "Ajuda", "Ajuda"],
          "the row of F5: %r" % shown[12])
    expected = headless(quipular, "<Ctrl+T>n<F5>", env, tempfile.mkdtemp(dir=top)).rows
    for number, (got, want) in enumerate(zip(shown, expected), 1):
        check(got == want, "row %d is %r, headless has %r" % (number, got, want))
    # A terminal sends Enter for Ctrl+M: BEG/END is Ctrl+J here, and named so.
    shown = run.keys("C-j")
    check(shown[13].split()[:4] == ["CTRL", "+", "J", "Modo"],
          "the row of BEG/END: %r" % shown[13])
    shown = run.keys("Escape")
    check("CALCULOS FEITOS" in shown[8] and shown[10] == "Operando: 0",
          "Esc returns to the calculation screen")
    speech, _ = run.finish()
    check(has_run(speech, ["char 110", "sound DOfuncion", "sound DOArmazena", "sound DOn",
                           "char 70", "char 53", "sound DOfuncion", "sound DOF1-F9",
                           "sound DOControl", "char 106", "sound DOfuncion", "sound DOArmazena",
                           "sound DOBEGEND", "sound DOESC", "sound DORegresoCalc"]),
          "the key test's speech: %s" % speech[-16:])


def square_root_refused():
    # The square-root example with -4: error 0, the square-root prompt, and
    # the example starts again from its title.
    run = Run("square-root-refused")
    run.keys("C-f", "F8", "Down", "Down", "Down", "Down", "Down")
    shown = run.keys("Enter")
    check(shown[9].strip() == "CALCULO DA RAIZ QUADRADA", "the square-root example: %r" % shown[9])
    run.keys("-", "4", "Enter", "X")
    shown = run.keys("Enter")
    check(shown[9].strip() == "CALCULO DA RAIZ QUADRADA" and shown[12] == "Operando: 0",
          "the example starts again: %r" % shown[9:13])
    speech, _ = run.finish()
    check(has_run(speech, ["sound DOraiz", "sound DOerror0", "pause 100", "sound DOerror0Raiz",
                           "sound DOexemplo2"]), "error 0 and its square-root prompt")


def narration_cut():
    # A lesson's narration heard in real time through SDL's disk driver: a
    # key pressed while the first page is narrated cuts it, the second page
    # follows, and the key is the (wrong) answer to the repeat question.
    run = Run("narration-cut", {"QUIPULAR_AUDIO": "sdl", "SDL_AUDIODRIVER": "disk",
               "SDL_DISKAUDIOFILE": os.path.join(top, "narration.raw")})
    tmux("send-keys", "-t", run.name, "C-f")
    run.settle()
    tmux("send-keys", "-t", run.name, "F9")
    run.settle()
    for key in ("Down", "Down", "Enter"):
        tmux("send-keys", "-t", run.name, key)
        time.sleep(0.3)
    if not wait_for(lambda: "O 1 sobe para Y" in run.text(), "the lesson's first page"):
        return
    time.sleep(1.0)
    check("O 1 sobe para Y" in run.text(), "the first page stays while it is narrated")
    tmux("send-keys", "-t", run.name, "x")
    wait_for(lambda: "Continuando o exemplo:" in run.text(), "the second page")
    wait_for(lambda: " Deseja repetir o Exemplo (s/n)?" in run.text(),
             "the repeat question under the second page")
    check("Continuando o exemplo:" in run.text(), "the second page stays under the question")
    run.keys("Escape")
    speech, _ = run.finish()
    check(has_run(speech, ["sound DOexemplosIL14 [cut]", "pause 300",
                           "sound DOexemplosIL14-1 [skipped]"]),
          "the first narration cut, the second skipped: %s" %
          [l for l in speech if "IL14" in l])
    # The question is skipped (the key waits); the key is a wrong answer, so
    # the question is asked again, and Esc may cut that one short.
    asked = [i for i, l in enumerate(speech) if l == "sound DOSALIDAExemplo [skipped]"]
    after = speech[asked[0] + 1:asked[0] + 3] if asked else []
    check(len(after) == 2 and after[0] == "pause 100" and
          after[1].startswith("sound DOSALIDAExemplo"),
          "the typed key answered the question: %s" % speech[-12:])


def main():
    if not start_server(300):
        return SKIP
    started = time.monotonic()
    # Each in its own session and folder, side by side: they mostly wait for
    # the screen to settle.
    side_by_side(menu_stores_rate, key_test_rows, square_root_refused, narration_cut)
    print("%.1f s" % (time.monotonic() - started))
    return 1 if failures else 0


run_and_exit(main, top)
