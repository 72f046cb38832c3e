#!/usr/bin/env python3
# Speech through a real speech-dispatcher of the test's own: its generic
# output module writes every text it is given to a file instead of sounding.
# The prompts reach it with the phrase-table texts in order, the transcript
# is the one the recorded prompts give, a key typed during the greeting
# cancels it, VOZ=SPEECHD in the settings asks for it, and without a server
# the recorded prompts play. Exits 77 where speech-dispatcher or tmux is
# missing.
#
# Usage: speech_dispatcher_test.py QUIPULAR VOICE_PACK
import os
import shutil
import subprocess
import sys

from harness import SKIP, check, failures, headless, stop, wait_for
from harness.tmux import finish_run, private_setup, run_and_exit, start_server, tmux

if not shutil.which("speech-dispatcher") or not shutil.which("tmux"):
    print("SKIPPED: speech-dispatcher or tmux is missing")
    sys.exit(SKIP)

quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
tables = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "voice")
top, env = private_setup("quipular-speechd-", pack, timeout=20.0, QUIPULAR_AUDIO="speechd",
                         QUIPULAR_BRAILLE="off")
said = os.path.join(top, "said.txt")
delay = os.path.join(top, "delay")  # how long each text takes to "say"
sock = os.path.join(top, "speechd.sock")
env.update(XDG_RUNTIME_DIR=os.path.join(top, "run"), SPEECHD_ADDRESS="unix_socket:" + sock)
for d in (env["XDG_RUNTIME_DIR"], os.path.join(top, "conf", "modules")):
    os.makedirs(d)
with open(os.path.join(env["HOME"], ".libao"), "w") as f:
    f.write("default_driver=null\n")
with open(os.path.join(top, "conf", "speechd.conf"), "w") as f:
    f.write('AudioOutputMethod "libao"\nAddModule "file" "sd_generic" "file.conf"\n'
            'DefaultModule "file"\nLanguageDefaultModule "pt" "file"\n')
# The text given, a wait a killed synthesis never finishes, then "end".
with open(os.path.join(top, "conf", "modules", "file.conf"), "w") as f:
    f.write('GenericExecuteSynth "printf \'%%s\\\\n\' \\\'$DATA\\\' >> %s; '
            'sleep $(cat %s); echo end >> %s"\n' % (said, delay, said))
    f.write('AddVoice "pt" "male1" "pt"\nDefaultVoice "pt"\nGenericLanguage "pt" "pt" "utf-8"\n')


def phrase(key):
    with open(os.path.join(tables, "phrases.tsv"), encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == key:
                return fields[1]
    raise KeyError(key)


def texts():
    """What the server was given, the "end" marks left in."""
    try:
        with open(said, encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f]
    except FileNotFoundError:
        return []


def in_order(got, wanted):
    """Whether wanted appears in got in that order (other lines between)."""
    it = iter(got)
    return all(any(w == g for g in it) for w in wanted)


def run(keys, extra_env=None, audio="speechd"):
    """A headless run: exit code, transcript lines, standard error."""
    r = headless(quipular, keys, dict(env, QUIPULAR_AUDIO=audio, **(extra_env or {})), top,
                 timeout=120)
    return (r.code, r.speech, r.stderr) if r else (None, [], "")


def main():
    # One session keeps the tmux server up: a server whose last session has
    # ended may still be going away when the next session is asked for.
    start_server(300)
    server = subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", sock,
                               "-C", os.path.join(top, "conf"), "-L", top],
                              env=env, cwd=top, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return scenarios(server)
    finally:
        stop(server)


def scenarios(server):
    with open(delay, "w") as f:
        f.write("0.05\n")
    if not wait_for(lambda: os.path.exists(sock), "the speech-dispatcher socket"):
        return 1
    greeting = phrase("DOSALUDOINI")
    keys = "5<Enter>3<Enter>+<Enter>"

    # Every prompt said, in order, and the transcript of the recorded prompts.
    code, speech, err = run(keys)
    check(code == 3, "speechd run: exit code %s (%s)" % (code, err))
    got = [t for t in texts() if t != "end"]
    check(in_order(got, [greeting, "cinco", "três", "mais", "igual a oito"]),
          "speechd run: the server was given %r" % got)
    _, recorded, _ = run(keys, audio="record")
    check(speech == recorded, "speechd run: transcript %r, recorded prompts %r" % (speech, recorded))

    # A number is one message, written as a person writes it.
    open(said, "w").close()
    code, speech, _ = run("250<Enter>")
    got = [t for t in texts() if t != "end"]
    check("duzentos e cinquenta" in got, "250: the server was given %r" % got)
    check(speech == run("250<Enter>", audio="record")[1], "250: the transcript %r" % speech)

    # VOZ=SPEECHD in the settings' [QUIPULAR] section, no variable.
    windir = os.path.join(top, "windir")
    os.makedirs(windir)
    with open(os.path.join(pack, "windows", "VESTRA.INI"), encoding="latin-1") as f:
        settings = f.read()
    with open(os.path.join(windir, "VESTRA.INI"), "w", encoding="latin-1") as f:
        f.write(settings + "\n[QUIPULAR]\nVOZ=SPEECHD\n")
    open(said, "w").close()
    run_env = {"VESTRA_WINDIR": windir}
    code, speech, _ = run("7", run_env, audio="")
    check("sound DOSALUDOINI" in speech and "sete" in texts(),
          "VOZ=SPEECHD: the server was given %r" % texts())

    # No server: the recorded prompts, one line on standard error. The
    # client library leaks its reason for failing to start a server.
    leaks = os.path.join(top, "leaks.supp")
    with open(leaks, "w") as f:
        f.write("leak:vasprintf\n")
    code, speech, err = run(keys, {"SPEECHD_ADDRESS": "unix_socket:" + os.path.join(top, "none"),
                                   "LSAN_OPTIONS": "print_suppressions=0:suppressions=" + leaks})
    check(speech == recorded and code == 3, "no server: transcript %r" % speech)
    check(len(err.strip().splitlines()) == 1 and "speech-dispatcher" in err,
          "no server: standard error %r" % err)

    # A key typed in the terminal while the greeting is said cancels it: the
    # synthesis never ends and the next prompt follows at once.
    with open(delay, "w") as f:
        f.write("30\n")
    open(said, "w").close()
    speech = os.path.join(top, "terminal-speech.txt")
    tmux("new-session", "-d", "-s", "t", "-x", "80", "-y", "25", "-c", top,
         "%s --terminal --speech %s; touch %s" % (quipular, speech, os.path.join(top, "done")))
    wait_for(lambda: greeting in texts(), "the greeting at the server")
    tmux("send-keys", "-t", "t", "5")
    wait_for(lambda: "cinco" in texts(), "the key's name after the cancelled greeting")
    got = texts()
    check(got[:2] == [greeting, "operando"] or got[:2] == [greeting, "cinco"],
          "cancel: the server was given %r" % got)
    with open(delay, "w") as f:
        f.write("0.05\n")
    tmux("send-keys", "-t", "t", "Escape")
    wait_for(lambda: phrase("DOSALIDA") in texts(), "the exit question")
    tmux("send-keys", "-t", "t", "s")
    wait_for(lambda: phrase("DOarchsalva") in texts(), "the question of saving the log")
    tmux("send-keys", "-t", "t", "n")
    wait_for(lambda: os.path.exists(os.path.join(top, "done")), "the end of the terminal run",
             timeout=60)
    with open(speech, encoding="utf-8") as f:
        lines = f.read().splitlines()
    check(lines[:1] == ["sound DOSALUDOINI [cut]"], "cancel: transcript %r" % lines[:3])
    check(server.poll() is None, "speech-dispatcher ended during the test")
    server_stops(server)
    server_goes(server)
    return 1 if failures else 0


def server_stops(server):
    """speech-dispatcher stopped (SIGSTOP) while the program runs in the
    terminal: within a few seconds the program takes it as gone, says so on
    the screen and with the recordings, and goes on; the exit is not held
    up by the stopped server either."""
    import signal
    done, err = os.path.join(top, "done-stop"), os.path.join(top, "err-stop")
    tmux("new-session", "-d", "-s", "stop", "-x", "80", "-y", "25", "-c", top,
         "SDL_AUDIODRIVER=dummy %s --terminal 2>%s; echo $? > %s.new; mv %s.new %s; sleep 60"
         % (quipular, err, done, done, done))
    screen = lambda: tmux("capture-pane", "-p", "-t", "stop").split("\n")  # noqa: E731
    wait_for(lambda: "Operando: 0" in screen(), "the operand prompt")
    tmux("send-keys", "-t", "stop", "5", "Enter")
    wait_for(lambda: any(r.startswith("      X = 5.00") for r in screen()), "the first result")
    server.send_signal(signal.SIGSTOP)
    try:
        tmux("send-keys", "-t", "stop", "6", "Enter")
        wait_for(lambda: any(r.startswith("      X = 6.00") for r in screen()),
                 "the result with the server stopped", timeout=10)
        wait_for(lambda: any("O SERVIDOR DE VOZ NÃO RESPONDE" in r for r in screen()),
                 "the notice that the server does not answer", timeout=10)
        tmux("send-keys", "-t", "stop", "Escape")
        wait_for(lambda: any(r.startswith("CONFIRMA SAIDA") for r in screen()), "the exit question")
        tmux("send-keys", "-t", "stop", "s")
        wait_for(lambda: any(r.startswith("QUER SALVAR") for r in screen()), "the save question")
        tmux("send-keys", "-t", "stop", "n")
        if wait_for(lambda: os.path.exists(done), "the end of the run whose server stopped",
                    timeout=10):
            with open(done) as f, open(err) as e:
                code, said = f.read().strip(), e.read()
            check(code == "0" and len(said.splitlines()) == 1 and "does not answer" in said,
                  "stopped server: exit %s, standard error %r" % (code, said))
    finally:
        server.send_signal(signal.SIGCONT)


def server_goes(server):
    """speech-dispatcher ends while the program runs in the terminal: it goes
    on with the recordings (played by SDL's silent driver), and says so in
    one line at its end."""
    done, err = os.path.join(top, "done2"), os.path.join(top, "err2")
    tmux("new-session", "-d", "-s", "gone", "-x", "80", "-y", "25",
         "SDL_AUDIODRIVER=dummy %s --terminal 2>%s; echo $? > %s" % (quipular, err, done))
    screen = lambda: tmux("capture-pane", "-p", "-t", "gone").split("\n")  # noqa: E731
    wait_for(lambda: "Operando: 0" in screen(), "the operand prompt")
    stop(server)
    finish_run("gone", [("5", "Operando: 5"), ("Enter", "      X = 5.00     RESULTADO"),
                        ("Escape", "CONFIRMA SAIDA (s/n)?"), ("s", "QUER SALVAR O ARQUIVO (s/n)?"),
                        ("n", None)],
               done, err, "speech-dispatcher", "the run whose server went")


run_and_exit(main, top)
