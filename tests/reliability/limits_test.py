#!/usr/bin/env python3
"""Quipular at the limits of the system, through the real binary: a file
size limit (ulimit -f), an output pipe whose reader has gone, a key script
of ten megabytes, no free file descriptors, and no sound device. Each
limit is set in a shell of its own around one run.

Usage: limits_test.py QUIPULAR VOICE_PACK
"""
import os
import shutil
import subprocess
import sys

from harness import check, failures, lines_of, read_bytes, wait_for
from harness.tmux import private_setup, run_and_exit, tmux

LOG = "Calculos_Quipular.txt"
quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
top, env = private_setup("quipular-limits-", pack, timeout=20.0)


def new_dir(name):
    path = os.path.join(top, name)
    os.makedirs(path)
    return path


def shell(where, script, timeout=60, extra_env=None):
    """Runs a bash script in where with $Q the program; (code, stderr)."""
    p = subprocess.run(["bash", "-c", script], cwd=where, timeout=timeout, capture_output=True,
                       text=True, env=dict(env, Q=quipular, **(extra_env or {})))
    return p.returncode, p.stderr


def file_size_limit():
    """ulimit -f 1: the log stops at a whole line and the user is told; a
    save that would pass the limit leaves the existing file as it was;
    the program is not killed."""
    where = new_dir("fsize")
    old = b"OLD NOTES\r\n" * 60  # 660 bytes: the copy cannot fit under 1,024
    with open(os.path.join(where, "old.txt"), "wb") as f:
        f.write(old)
    keys = "1234567890<Enter>" * 40 + "<Esc>ss old<Enter>"
    code, err = shell(where, 'ulimit -f 1; "$Q" --headless --keys "%s" --screen screen.out' % keys)
    check(code == 3, "ulimit -f: exit %s, not a signal (%r)" % (code, err[-200:]))
    log = read_bytes(os.path.join(where, LOG))
    check(log.endswith(b"\r\n") and 0 < len(log) <= 1024, "ulimit -f: the log ends with a whole line")
    check(read_bytes(os.path.join(where, "old.txt")) == old,
          "ulimit -f: the file saved into keeps its content")
    screen = read_bytes(os.path.join(where, "screen.out")).decode("utf-8", "replace")
    check("ERRO: O ARQUIVO NÃO PÔDE SER GRAVADO." in screen, "ulimit -f: the save's error shown")


def broken_pipe():
    """--speech into a pipe whose reader has gone: exit 4 naming the
    output, and --state written all the same."""
    where = new_dir("pipe")
    code, err = shell(where, '"$Q" --keys "5<Enter>" --speech /dev/stdout --state state.txt | true;'
                             ' exit ${PIPESTATUS[0]}')
    check(code == 4 and "/dev/stdout" in err, "broken pipe: exit %s, stderr %r" % (code, err))
    check(read_bytes(os.path.join(where, "state.txt")).startswith(b"X = 5"),
          "broken pipe: --state still written")


def sanitized():
    """Whether the binary runs under AddressSanitizer (which reserves more
    address space than any ulimit -v leaves)."""
    p = subprocess.run(["nm", "-D", quipular], capture_output=True, text=True)
    return "__asan_init" in p.stdout


def big_script():
    """Ten megabytes of keys: held in a few bytes a key, so that the run
    fits a memory limit of 500 MB; a script that cannot fit ends with the
    documented code 5 and a message instead of an abort."""
    where = new_dir("big-script")
    keys = os.path.join(where, "keys.txt")
    with open(keys, "w") as f:
        f.write("5<Enter><Esc>sn")
        f.write("1" * (10 * 1024 * 1024))
    if sanitized():
        # The sanitizer's own limit stands for ulimit -v.
        code, err = shell(where, '"$Q" --keys-file keys.txt', timeout=120,
                          extra_env={"ASAN_OPTIONS": "hard_rss_limit_mb=500"})
    else:
        code, err = shell(where, 'ulimit -v 500000; "$Q" --keys-file keys.txt', timeout=120)
    check(code == 0, "10 MB script: exit %s (%r)" % (code, err[-300:]))
    if sanitized():
        print("SKIP out of memory: the sanitizer aborts where the program would see bad_alloc")
        return
    with open(keys, "a") as f:
        f.write("2" * (300 * 1024 * 1024))
    code, err = shell(where, 'ulimit -v 200000; "$Q" --keys-file keys.txt', timeout=120)
    check(code == 5 and "out of memory" in err, "no memory: exit %s (%r)" % (code, err[-300:]))


def no_descriptors():
    """No file descriptor left at start: the message gives the real error,
    not a missing settings file."""
    if sanitized():
        print("SKIP no descriptors: the sanitizers' own checks need descriptors")
        return
    where = new_dir("nofile")
    # The three outputs take the last descriptors the limit leaves.
    code, err = shell(where, 'ulimit -n 6; "$Q" --keys "<Enter>" --screen s.out --speech sp.out'
                             ' --state st.out 2>err >/dev/null; rc=$?; cat err >&2; exit $rc')
    check(code != 0 and "Too many open files" in err and "no settings file" not in err,
          "no descriptors: exit %s, %r" % (code, err[-300:]))


def no_sound_device():
    """The sound system finds no device: none of its own lines on standard
    error, one line of Quipular's saying so and how to choose another
    voice, and the same on the screen."""
    where = new_dir("no-sound")
    err = os.path.join(where, "err")
    rc = os.path.join(where, "rc")
    tmux("new-session", "-d", "-s", "nosound", "-x", "80", "-y", "25",
         "cd '%s' && SDL_AUDIODRIVER=alsa AUDIODEV=hw:99 QUIPULAR_AUDIO=sdl '%s' --terminal"
         " 2>'%s'; echo $? > '%s'; exec sleep 60" % (where, quipular, err, rc))
    screen = lambda: "\n".join(lines_of(tmux("capture-pane", "-p", "-t", "nosound")))  # noqa
    wait_for(lambda: "Operando: 0" in screen(), "no sound: the prompt")
    check("NENHUM DISPOSITIVO DE SOM" in screen(), "no sound: said on the screen")
    tmux("send-keys", "-t", "nosound", "Escape")
    wait_for(lambda: "CONFIRMA SAIDA" in screen(), "no sound: the exit question")
    tmux("send-keys", "-t", "nosound", "s")
    wait_for(lambda: "QUER SALVAR" in screen(), "no sound: the save question")
    tmux("send-keys", "-t", "nosound", "n")
    wait_for(lambda: os.path.exists(rc) and open(rc).read().strip(), "no sound: the end")
    with open(err, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    # In the user's language: English unless the locale is Portuguese.
    check(len(lines) == 1 and ("sound" in lines[0] or "som" in lines[0]) and
          "QUIPULAR_AUDIO=speechd" in lines[0],
          "no sound: standard error %r" % lines[:10])


def main():
    if not shutil.which("tmux"):
        print("SKIPPED: tmux is missing")
        return 77
    for test in (file_size_limit, broken_pipe, big_script, no_descriptors, no_sound_device):
        if len(sys.argv) < 4 or test.__name__ in sys.argv[3:]:
            test()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


run_and_exit(main, top)
