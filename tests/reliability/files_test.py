#!/usr/bin/env python3
"""The calculation log and the files around it, tried as a hostile folder
would: a FIFO or a link in the log's place, two Quipulars in one folder, a
protected old log, a full disk (a small tmpfs, when run as root), a disk
that loses what it was given (fsync failing), output files that cannot be
written, a voice pack that is missing and an old install's settings left in
the compiled-in settings folder. Every case runs the real binary in a
directory of its own; the headless runs have a time limit, so a hang fails
instead of stalling the suite.

Usage: files_test.py QUIPULAR VOICE_PACK FAIL_FSYNC_LIBRARY SYSCONFDIR [TEST ...]
FAIL_FSYNC_LIBRARY makes every fsync fail when preloaded; SYSCONFDIR is the
settings folder compiled into the program (without "vestra").
"""
import os
import shutil
import stat
import subprocess
import sys
import time

from harness import (SKIP, check, failures, headless, lines_of, read_bytes, side_by_side, wait_for,
                     written_line)
from harness.tmux import private_setup, run_and_exit, tmux

LOG = "Calculos_Quipular.txt"
LOG2 = "Calculos_Quipular-2.txt"
NOT_KEPT = "NÃO ESTÁ SENDO GRAVADO"

quipular = os.path.abspath(sys.argv[1])
pack = os.path.abspath(sys.argv[2])
fail_fsync = os.path.abspath(sys.argv[3])
sysconfdir = sys.argv[4]
top, env = private_setup("quipular-reliability-", pack, timeout=15.0)
case_count = 0


def new_dir(name):
    global case_count
    case_count += 1
    path = os.path.join(top, "%02d-%s" % (case_count, name))
    os.makedirs(path)
    return path


def run(where, keys, *args, extra_env=None, timeout=30):
    """A headless run in where; None when it did not end in time."""
    return headless(quipular, keys, dict(env, **(extra_env or {})), where, *args, timeout=timeout)


def crlf_only(data):
    """Every line end is CR LF: no LF alone, no CR alone."""
    return data.count(b"\n") == data.count(b"\r\n") == data.count(b"\r")


def non_regular_files():
    """A FIFO where the log, a wave of the pack or the settings file should
    be never blocks the start: the log is not kept (said once), the wave is
    skipped, the settings are missing (the voice start-up failure)."""
    where = new_dir("fifo-log")
    os.mkfifo(os.path.join(where, LOG))
    r = run(where, "5<Enter>3<Enter>+<Enter>")
    if r:
        check(r.code == 3, "FIFO log: exit code %s" % r.code)
        check(r.screen.count(NOT_KEPT) == 1, "FIFO log: warned once on screen")
        check(r.text("speech.txt").count("sound DOSemRegistro") == 1, "FIFO log: warned once aloud")
        check(stat.S_ISFIFO(os.lstat(os.path.join(where, LOG)).st_mode),
              "FIFO log: the FIFO is left alone")
    r = run(where, "<Esc>sn")
    if r:
        check(r.code == 0 and stat.S_ISFIFO(os.lstat(os.path.join(where, LOG)).st_mode),
              "FIFO log: not deleted at n (exit %s)" % r.code)

    # A copy of the pack with the greeting's wave a FIFO.
    fifo_pack = os.path.join(top, "fifo-pack")
    shutil.copytree(pack, fifo_pack)
    som = os.path.join(fifo_pack, "orbela", "som", "quipular")
    greeting = [n for n in os.listdir(som) if n.lower() == "dosaludoini.wav"][0]
    os.unlink(os.path.join(som, greeting))
    os.mkfifo(os.path.join(som, greeting))
    where = new_dir("fifo-wave")
    r = run(where, "5<Enter>", extra_env={"VESTRA_ROOT": fifo_pack,
                                          "VESTRA_WINDIR": os.path.join(fifo_pack, "windows"),
                                          "QUIPULAR_AUDIO": "record"})
    if r:
        check(r.code == 3 and "words cinco" in r.text("speech.txt"),
              "FIFO wave: skipped, the calculator goes on (exit %s)" % r.code)

    windir = os.path.join(top, "fifo-windir")
    os.makedirs(windir)
    os.mkfifo(os.path.join(windir, "VESTRA.INI"))
    where = new_dir("fifo-settings")
    r = run(where, "<Enter>", extra_env={"VESTRA_WINDIR": windir})
    if r:
        check(r.code == 1, "FIFO settings: the voice cannot start, exit %s" % r.code)


def links():
    """A link planted in the log's place or under the saved copy's name is
    never written through: the file it points to stays as it was, byte for
    byte, and no file is made where a dangling link points."""
    where = new_dir("links")
    victim = os.path.join(where, "victim.txt")
    old = b"precious\r\ncontent\n\x00\xff"
    with open(victim, "wb") as f:
        f.write(old)
    os.symlink(victim, os.path.join(where, LOG))
    os.symlink(victim, os.path.join(where, "out.txt"))
    r = run(where, "5<Enter><Esc>ss out<Enter>")
    if r:
        check(read_bytes(victim) == old, "link: the linked file is untouched")
        check(os.path.islink(os.path.join(where, "out.txt")), "link: the copy's link is left")
        log = os.path.join(where, LOG)
        check(not os.path.islink(log) and read_bytes(log).startswith(b"CALCULOS FEITOS\r\n"),
              "link: a new log replaced the link")
        check(r.screen.count("ERRO: O ARQUIVO NÃO PÔDE SER GRAVADO.") == 1,
              "link: a save through a link is an error that stays on screen")

    if os.geteuid() == 0:
        # Another user's link, as planted in a shared folder: not removed,
        # not followed; this run keeps its own log beside it.
        where = new_dir("others-link")
        os.symlink(victim, os.path.join(where, LOG))
        os.lchown(os.path.join(where, LOG), 65534, 65534)
        r = run(where, "5<Enter>")
        if r:
            check(os.path.islink(os.path.join(where, LOG)) and read_bytes(victim) == old
                  and b"Operando: 5\r\n" in read_bytes(os.path.join(where, LOG2)),
                  "another user's link: left alone, the log kept beside it")

    where = new_dir("dangling-link")
    target = os.path.join(where, "made-through-link.txt")
    os.symlink(target, os.path.join(where, LOG))
    r = run(where, "5<Enter>")
    if r:
        check(not os.path.exists(target), "dangling link: nothing made where it points")
        check(read_bytes(os.path.join(where, LOG)).startswith(b"CALCULOS FEITOS\r\n"),
              "dangling link: the log is made")


def protected_old_log():
    """An old log that is not this user's to replace is kept as it was, even
    after "n" at the exit; this run kept its own log beside it."""
    where = new_dir("read-only")
    old = os.path.join(where, LOG)
    with open(old, "wb") as f:
        f.write(b"CALCULOS FEITOS\r\nOperando: 42\r\n")
    os.chmod(old, 0o444)
    r = run(where, "5<Enter>")
    if r:
        check(LOG2 in r.screen and "sound DORegistroOutroNome" in r.text("speech.txt"),
              "read-only log: this run's own log is named on screen and aloud")
        check(b"Operando: 5\r\n" in read_bytes(os.path.join(where, LOG2)),
              "read-only log: this run kept its own log")
    r = run(where, "<Esc>sn")
    if r:
        check(r.code == 0, "read-only log: exit %s" % r.code)
        check(not os.path.exists(os.path.join(where, LOG2)),
              "read-only log: this run's own log deleted by n")
    check(read_bytes(old) == b"CALCULOS FEITOS\r\nOperando: 42\r\n",
          "read-only log: kept as it was")


def own_name_refused():
    """Saving under the log's name is refused and asked again; the log is
    not doubled into itself."""
    where = new_dir("own-name")
    r = run(where, "5<Enter><Esc>ss Calculos_Quipular<Enter> copy<Enter>")
    if r:
        log = read_bytes(os.path.join(where, LOG))
        check(log.count(b"CALCULOS FEITOS") == 1, "own name: the log is not doubled")
        check(read_bytes(os.path.join(where, "copy.txt")) == log,
              "own name: the copy asked for again holds the log")


class TerminalRun:
    """Quipular in a tmux pane of its own, in a directory; the pane's shell
    notes the exit code."""

    def __init__(self, name, where, args=""):
        self.name = name
        self.dir = where
        tmux("new-session", "-d", "-s", name, "-x", "80", "-y", "25",
             "cd '%s' && '%s' --terminal %s; echo $? > rc; exec sleep 60" % (where, quipular, args))

    def screen(self):
        return lines_of(tmux("capture-pane", "-p", "-t", self.name))

    def last(self):
        rows = [line for line in self.screen() if line.strip()]
        return rows[-1] if rows else ""

    def shows(self, text):
        return any(text in line for line in self.screen())

    def type(self, *keys):
        tmux("send-keys", "-t", self.name, *keys)

    def entry(self, number):
        """Types a number and Enter, and waits until it is taken."""
        before = self.screen()
        self.type(number, "Enter")
        wait_for(lambda: self.last().startswith("Operando: 0") and self.screen() != before,
                 "%s: the entry %s" % (self.name, number))

    def wait_end(self):
        rc = os.path.join(self.dir, "rc")
        return wait_for(lambda: written_line(rc), "%s: the end" % self.name, timeout=60)

    def save(self, name):
        self.type("Escape")
        wait_for(lambda: self.shows("CONFIRMA SAIDA"), self.name + ": exit question")
        self.type("s")
        wait_for(lambda: self.shows("QUER SALVAR"), self.name + ": save question")
        self.type("s")
        wait_for(lambda: self.shows("QUAL"), self.name + ": name question")
        self.type(name, "Enter")


def two_instances():
    """Two Quipulars in one folder: the second keeps its own log, says so,
    and at its end deletes only that; the first's saved copy is its whole
    log, byte for byte."""
    where = new_dir("two")
    first = TerminalRun("first", where)
    wait_for(lambda: first.shows("Operando: 0"), "first: the prompt")
    first.entry("5")
    r = run(where, "7<Enter>")
    if r:
        check(r.code == 3, "second: exit %s" % r.code)
        check("O REGISTRO DOS CÁLCULOS ESTÁ EM %s" % LOG2 in r.screen,
              "second: names its own log on screen")
        check("sound DORegistroOutroNome | words dois" in r.text("speech.txt").replace("\n", " | "),
              "second: says its log's number aloud")
        check(b"Operando: 7\r\n" in read_bytes(os.path.join(where, LOG2)),
              "second: keeps its own log")
    r = run(where, "<Esc>sn")
    if r:
        check(r.code == 0 and not os.path.exists(os.path.join(where, LOG2)),
              "another: its own log deleted at n (exit %s)" % r.code)
    check(b"Operando: 5\r\n" in read_bytes(os.path.join(where, LOG))
          and b"7" not in read_bytes(os.path.join(where, LOG)),
          "first: its log untouched by the second")
    # A log removed while the program runs is made again, whole.
    os.unlink(os.path.join(where, LOG))
    first.entry("3")
    check(read_bytes(os.path.join(where, LOG)).startswith(b"CALCULOS FEITOS\r\nOperando: 5\r\n"),
          "first: its removed log made again, whole")
    first.entry("+")
    first.save("first")
    code = first.wait_end()
    check(code == "0", "first: exit code %s" % code)
    log = read_bytes(os.path.join(where, LOG))
    saved = read_bytes(os.path.join(where, "first.txt"))
    check(saved == log, "first: the saved copy is its whole log")
    check(log.startswith(b"CALCULOS FEITOS\r\nOperando: 5\r\n") and b"Operando: ESC\r\n" in log,
          "first: the log holds the session from its start")
    check(crlf_only(log) and crlf_only(saved), "first: CR LF line ends in the log and the copy")
    # The first has ended: its log is a finished run's, replaced at the next start.
    r = run(where, "1<Enter>")
    if r:
        check(LOG2 not in r.screen and b"Operando: 1\r\n" in read_bytes(
            os.path.join(where, LOG)), "a finished run's log is replaced")


def full_disk():
    """The log on a full disk, then with space again; the save on a full
    disk. Needs root to mount a small tmpfs."""
    if os.geteuid() != 0:
        print("SKIP full disk: needs root to mount a tmpfs")
        return
    where = new_dir("full-disk")
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", where],
                      capture_output=True).returncode != 0:
        print("SKIP full disk: cannot mount a tmpfs here")
        return
    try:
        full_disk_run(where)
    finally:
        subprocess.run(["tmux", "-S", os.path.join(top, "tmux.sock"), "kill-session", "-t", "full"],
                       capture_output=True)
        time.sleep(0.2)
        subprocess.run(["umount", "-l", where], capture_output=True)


def fill(where):
    """Fills the file system; the filler's path."""
    filler = os.path.join(where, "filler")
    fd = os.open(filler, os.O_WRONLY | os.O_CREAT | os.O_APPEND)
    try:
        while os.write(fd, b"\0" * 512) > 0:
            pass
    except OSError:
        pass
    os.close(fd)
    return filler


def paste(term, logpath, numbers):
    """Types the numbers, each with Enter, at once; waits until the last is in
    the log and the prompt is back."""
    numbers = list(numbers)
    if not numbers:
        return
    term.type(*[key for n in numbers for key in (str(n), "Enter")])
    last = ("Operando: %d\r\n" % numbers[-1]).encode()
    wait_for(lambda: last in read_bytes(logpath) and term.last().startswith("Operando: 0"),
             "full: the pasted entries in the log", timeout=60)


def full_disk_run(where):
    with open(os.path.join(where, "old.txt"), "wb") as f:
        f.write(b"OLD\r\n")
    term = TerminalRun("full", where, "--speech speech.out")
    wait_for(lambda: term.shows("Operando: 0"), "full: the prompt")
    logpath = os.path.join(where, LOG)
    # The log's last page of the file system takes entries until it is full,
    # however full the disk: most of them are pasted at once before the disk
    # is filled, so that only the last few are typed one by one.
    start = os.path.getsize(logpath)
    paste(term, logpath, range(1000000000, 1000000040))
    size = os.path.getsize(logpath)
    per_entry = (size - start) / 40
    paste(term, logpath, range(1000000040, 1000000040 + int(-size % 4096 // per_entry) - 1))
    filler = fill(where)
    number = 1234567890
    for _ in range(100):
        size = os.path.getsize(logpath)
        term.entry(str(number))
        number += 1
        if os.path.getsize(logpath) <= size:
            break
    torn = read_bytes(logpath)
    check(torn.endswith(b"\r\n") or torn.endswith(b"Operando: "),
          "full disk: no torn line on disk (ends %r)" % torn[-20:])
    check(("Operando: %d\r\n" % (number - 1)).encode() not in torn,
          "full disk: the last entry did not reach the disk")
    os.unlink(filler)
    term.entry("7")
    log = read_bytes(logpath)
    check(log.startswith(torn) and ("Operando: %d\r\n" % (number - 1)).encode() in log
          and b"Operando: 7\r\n" in log, "space again: the whole log rewritten from memory")

    # The save on a full disk: a new file is not left behind, an existing
    # one keeps its content, the error stays until a key.
    filler = fill(where)
    term.save("new")
    wait_for(lambda: term.shows("ERRO: O ARQUIVO"), "full: the save error")
    time.sleep(0.3)
    check(term.shows("ERRO: O ARQUIVO"), "full disk save: the error stays until a key")
    check(not os.path.exists(os.path.join(where, "new.txt")), "full disk save: no partial file")
    term.type("8")
    wait_for(lambda: not term.shows("ERRO: O ARQUIVO"), "full: the error gone at a key")
    term.type("Enter")
    wait_for(lambda: term.last().startswith("Operando: 0"), "full: back in the calculator")
    term.save("old")
    wait_for(lambda: term.shows("ERRO: O ARQUIVO"), "full: the append error")
    check(read_bytes(os.path.join(where, "old.txt")) == b"OLD\r\n",
          "full disk save: the file appended to keeps its old content")
    os.unlink(filler)
    term.type("9")
    term.type("Enter")
    wait_for(lambda: term.last().startswith("Operando: 0"), "full: back again")
    term.save("old")
    code = term.wait_end()
    check(code == "0", "full: exit code %s" % code)
    log = read_bytes(logpath)
    check(read_bytes(os.path.join(where, "old.txt")) == b"OLD\r\n" + log,
          "full disk save: with room again the copy is the whole log after the old content")
    check(b"Operando: 8\r\n" in log and b"Operando: 9\r\n" in log,
          "full disk: entries made while the disk was full are in the log")
    speech = open(os.path.join(where, "speech.out")).read()
    told = speech.find("sound DOSemRegistro")
    check(told >= 0 and speech.find("sound DORegistroVolta", told) > told,
          "full disk: the user is told the log stopped, then that it is kept again")


def sync_fails():
    """A copy the disk never got (fsync fails with EIO, as on a USB stick
    pulled out): the save is reported failed, not "ARQUIVO GRAVADO"; a new
    file is removed and an existing one keeps its old content."""
    where = new_dir("sync-fails")
    old = os.path.join(where, "old.txt")
    with open(old, "wb") as f:
        f.write(b"OLD\r\n")
    # The library comes before the sanitizers' runtime in the load order.
    asan = ":".join(o for o in (os.environ.get("ASAN_OPTIONS"), "verify_asan_link_order=0") if o)
    preload = {"LD_PRELOAD": fail_fsync, "ASAN_OPTIONS": asan}
    for name, left in (("new", None), ("old", b"OLD\r\n")):
        r = run(where, "5<Enter><Esc>ss%s<Enter>" % name, extra_env=preload)
        if not r:
            continue
        check(r.code == 3 and "ERRO: O ARQUIVO NÃO PÔDE SER GRAVADO" in r.screen
              and "ARQUIVO GRAVADO !!" not in r.screen,
              "fsync fails, %s.txt: exit %s, the screen says %r" %
              (name, r.code, [l for l in r.rows if "ARQUIVO" in l]))
        path = os.path.join(where, name + ".txt")
        if left is None:
            check(not os.path.exists(path), "fsync fails: the new file is left behind")
        else:
            check(read_bytes(path) == left, "fsync fails: the old file became %r" %
                  read_bytes(path)[:40])


def stale_settings():
    """An install elsewhere uses its own settings, never those an earlier
    install left in the settings folder compiled into the program (there, a
    voice database that no longer exists). The folder is covered, for the
    runs only, in a mount namespace of their own."""
    if shutil.which("unshare") is None:
        print("SKIP stale settings: unshare is missing")
        return
    covered = sysconfdir if os.path.isdir(sysconfdir) and sysconfdir != "/etc" else None
    if covered is None:
        print("SKIP stale settings: %s is not a folder that can be covered" % sysconfdir)
        return
    where = new_dir("stale-settings")
    # An install under a prefix of its own: the program, its settings and
    # its voice pack.
    prefix = os.path.join(where, "prefix")
    os.makedirs(os.path.join(prefix, "bin"))
    os.makedirs(os.path.join(prefix, "share"))
    shutil.copy2(quipular, os.path.join(prefix, "bin", "quipular"))
    os.symlink(pack, os.path.join(prefix, "share", "vestra"))
    own = os.path.join(prefix, "etc", "vestra")
    os.makedirs(own)
    shutil.copy(os.path.join(pack, "windows", "VESTRA.INI"), own)
    stale = os.path.join(where, "stale.ini")
    with open(stale, "w") as f:
        f.write("[SINTETIZADOR]\n" + "".join("DIFONES%d=velha\n" % n for n in range(1, 6)) +
                "[TRADUTOR]\nDIRDIFONES=c:\\orbela\\velha\\\n")
    home = os.path.join(where, "home")
    os.makedirs(home)
    clean = {k: v for k, v in env.items() if not k.startswith("VESTRA_")}
    clean.pop("XDG_CONFIG_HOME", None)
    clean["HOME"] = home
    mount = ("mount -t tmpfs tmpfs \"$1\" && mkdir \"$1/vestra\" && "
             "cp \"$2\" \"$1/vestra/VESTRA.INI\" && shift 2 && exec \"$@\"")
    unshare = ["unshare", "--mount"] + (["--map-root-user"] if os.geteuid() != 0 else [])

    def started(work):
        os.makedirs(work)
        proc = subprocess.run(unshare + ["sh", "-c", mount, "sh", covered, stale,
                                         os.path.join(prefix, "bin", "quipular"), "--headless",
                                         "--keys", "5<Enter>3<Enter>+<Enter>", "--state",
                                         "state.txt"],
                              cwd=work, env=clean, capture_output=True, text=True, timeout=60)
        state = os.path.join(work, "state.txt")
        return proc, open(state).read() if os.path.exists(state) else ""

    proc, state = started(os.path.join(where, "own"))
    if proc.returncode != 3 and proc.stderr.startswith(("unshare:", "mount:", "sh:")):
        print("SKIP stale settings: no mount namespace here (%s)" % proc.stderr.strip()[-200:])
        return
    check(proc.returncode == 3 and "X = 8" in state,
          "stale settings in %s/vestra: exit %s, standard error %r" %
          (covered, proc.returncode, proc.stderr[-300:]))
    # Without settings of its own, the install does find the stale ones.
    shutil.rmtree(own)
    proc, _ = started(os.path.join(where, "none"))
    check(proc.returncode == 1 and "settings file %s/vestra/VESTRA.INI" % covered in proc.stderr,
          "only the stale settings: exit %s, standard error %r (is the covered folder the one "
          "compiled in?)" % (proc.returncode, proc.stderr[-300:]))


def outputs():
    """Output files that cannot be written end with code 4 and a message;
    a keys file that cannot be read with code 2."""
    where = new_dir("outputs")
    os.makedirs(os.path.join(where, "adir"))
    for args, code, what in (
            (["--state", os.path.join(where, "missing", "state.txt")], 4, "missing directory"),
            (["--state", "/dev/full"], 4, "full device"),
            (["--screen", "adir"], 4, "a directory"),
            (["--keys-file", "adir"], 2, "keys file a directory"),
            (["--keys-file", "no-such-file"], 2, "keys file missing")):
        proc = subprocess.run([quipular, "--headless", *args] +
                              ([] if "--keys-file" in args else ["--keys", "5<Enter>"]),
                              cwd=where, env=env, capture_output=True, text=True, timeout=30)
        check(proc.returncode == code and "quipular: cannot" in proc.stderr,
              "output %s: exit %s (want %s), stderr %r" % (what, proc.returncode, code,
                                                            proc.stderr))
    if os.geteuid() != 0:
        unreadable = os.path.join(where, "unreadable")
        open(unreadable, "w").close()
        os.chmod(unreadable, 0)
        proc = subprocess.run([quipular, "--keys-file", unreadable], cwd=where, env=env,
                              capture_output=True, text=True, timeout=30)
        check(proc.returncode == 2, "keys file unreadable: exit %s" % proc.returncode)


def voice_failure():
    """A missing voice pack: the message on screen, three tones, Enter ends
    with code 1; standard error names where the pack and settings were
    looked for; in a terminal the message stays after the end."""
    where = new_dir("no-pack")
    empty = os.path.join(top, "empty-root")
    os.makedirs(empty, exist_ok=True)
    r = run(where, "<Enter>", extra_env={"VESTRA_ROOT": empty, "QUIPULAR_AUDIO": "record"})
    if r:
        check(r.code == 1, "no pack: exit %s" % r.code)
        check("Erro de inicialização: 1" in r.stderr and empty in r.stderr
              and "VESTRA.INI" in r.stderr, "no pack: stderr says why and where: %r" % r.stderr)
        check("Erro de inicialização: 1" in r.screen, "no pack: the message on screen")
        check(r.text("speech.txt").splitlines()[:3] == ["tone 880"] * 3, "no pack: three tones")

    r = run(where, "", extra_env={"VESTRA_ROOT": empty})
    if r:
        check(r.code == 1, "no pack, a script that ends at the message: exit %s" % r.code)

    # The tones reach a real device (SDL's disk driver).
    capture = os.path.join(where, "capture.raw")
    r = run(where, "<Enter>", extra_env={"VESTRA_ROOT": empty, "QUIPULAR_AUDIO": "sdl",
                                         "SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": capture})
    if r:
        heard = read_bytes(capture) if os.path.exists(capture) else b""
        check(r.code == 1 and len(set(heard)) > 2, "no pack: the tones are heard on the device")

    where = new_dir("no-pack-terminal")
    tmux("new-session", "-d", "-s", "nopack2", "-x", "80", "-y", "25", "-e",
         "VESTRA_ROOT=" + empty,
         "cd '%s' && '%s' --terminal; echo rc=$?; exec sleep 60" % (where, quipular))
    pane = lambda: "\n".join(lines_of(tmux("capture-pane", "-p", "-t", "nopack2")))  # noqa: E731
    wait_for(lambda: "Erro de inicialização" in pane(), "terminal: the message")
    tmux("send-keys", "-t", "nopack2", "Enter")
    wait_for(lambda: "rc=1" in pane(), "terminal: exit code 1")
    check("Erro de inicialização: 1" in pane(), "terminal: the message stays after the end")


def log_changed_under_it():
    """The log cut short by hand, then replaced by a file an editor saved by
    renaming: the cut log is written again whole (no NUL bytes, no line
    without its start); the user's file is left alone and the log goes on
    under the next name, which is said; "n" at the exit removes only that."""
    where = new_dir("log-changed")
    logpath = os.path.join(where, LOG)
    term = TerminalRun("changed", where)
    wait_for(lambda: term.shows("Operando: 0"), "changed: the prompt")
    term.entry("5")
    term.entry("6")
    open(logpath, "wb").close()
    term.entry("7")
    log = read_bytes(logpath)
    check(b"\0" not in log and log.startswith(b"CALCULOS FEITOS\r\nOperando: 5\r\n")
          and b"Operando: 6\r\n" in log and b"Operando: 7\r\n" in log,
          "cut short: the log rewritten whole, got %r" % log[:60])
    notes = os.path.join(where, "n.tmp")
    with open(notes, "wb") as f:
        f.write(b"MINHAS NOTAS\r\n")
    os.rename(notes, logpath)
    term.entry("8")
    check(read_bytes(logpath) == b"MINHAS NOTAS\r\n", "replaced: the user's file is left alone")
    log2 = read_bytes(os.path.join(where, LOG2))
    check(log2.startswith(b"CALCULOS FEITOS\r\nOperando: 5\r\n") and b"Operando: 8\r\n" in log2,
          "replaced: the whole log goes on under the next name")
    check(term.shows("O REGISTRO DOS CALCULOS ESTA EM " + LOG2) or
          term.shows("O REGISTRO DOS CÁLCULOS ESTÁ EM " + LOG2), "replaced: the new name on screen")
    term.type("Escape")
    wait_for(lambda: term.shows("CONFIRMA SAIDA"), "changed: exit question")
    term.type("s")
    wait_for(lambda: term.shows("QUER SALVAR"), "changed: save question")
    term.type("n")
    code = term.wait_end()
    check(code == "0", "changed: exit code %s" % code)
    check(read_bytes(logpath) == b"MINHAS NOTAS\r\n" and
          not os.path.exists(os.path.join(where, LOG2)),
          "changed: n removes this run's log, never the user's file")


def folder_renamed():
    """The working folder renamed during the run: "n" at the exit still
    removes the log."""
    where = new_dir("renamed")
    term = TerminalRun("renamed", where)
    wait_for(lambda: term.shows("Operando: 0"), "renamed: the prompt")
    term.entry("5")
    moved = where + "-moved"
    os.rename(where, moved)
    term.dir = moved
    term.type("Escape")
    wait_for(lambda: term.shows("CONFIRMA SAIDA"), "renamed: exit question")
    term.type("s")
    wait_for(lambda: term.shows("QUER SALVAR"), "renamed: save question")
    term.type("n")
    code = term.wait_end()
    check(code == "0" and not os.path.exists(os.path.join(moved, LOG)),
          "renamed folder: the log removed at n (exit %s)" % code)


def file_name_editor():
    """Ctrl+_ (byte 31) typed in a file name is refused like the other
    control characters: no file is made with it in its name."""
    where = new_dir("control-name")
    term = TerminalRun("control", where)
    wait_for(lambda: term.shows("Operando: 0"), "control: the prompt")
    term.entry("5")
    term.type("Escape")
    wait_for(lambda: term.shows("CONFIRMA SAIDA"), "control: exit question")
    term.type("s")
    wait_for(lambda: term.shows("QUER SALVAR"), "control: save question")
    term.type("s")
    wait_for(lambda: term.shows("QUAL"), "control: name question")
    term.type("a")
    term.type("C-_")
    term.type("b")
    term.type("Enter")
    code = term.wait_end()
    names = os.listdir(where)
    check(code == "0" and "ab.txt" in names and not any(
        any(ord(c) < 32 for c in n) for n in names), "control character: files %r" % names)


def save_names_and_outputs():
    """A save name that is an output file of the run is refused and asked
    again; an output path that is the log is refused before the run."""
    where = new_dir("output-names")
    r = run(where, "5<Enter><Esc>ss out<Enter>copy<Enter>", "--state", "out.txt")
    if r:
        check(r.code == 0 and r.text("out.txt").startswith("X = 5"),
              "save into --state: the state kept, exit %s" % r.code)
        check(b"Operando: 5" in read_bytes(os.path.join(where, "copy.txt")),
              "save into --state: the name asked again")
    proc = subprocess.run([quipular, "--headless", "--keys", "5<Enter>", "--state", LOG],
                          cwd=where, env=env, capture_output=True, text=True, timeout=30)
    check(proc.returncode == 4 and LOG in proc.stderr,
          "--state the log: exit %s, %r" % (proc.returncode, proc.stderr))


def save_lock():
    """A save appends under an exclusive lock: while another Quipular holds
    the file (its own append), this one waits, and its copy comes after."""
    import fcntl
    import threading
    where = new_dir("save-lock")
    shared = os.path.join(where, "shared.txt")
    with open(shared, "wb") as f:
        f.write(b"OLD\r\n")
    holder = open(shared, "ab")
    fcntl.flock(holder, fcntl.LOCK_EX)

    def other_save():
        time.sleep(1.5)
        holder.write(b"OTHER\r\n")
        holder.flush()
        fcntl.flock(holder, fcntl.LOCK_UN)
        holder.close()
    threading.Thread(target=other_save).start()
    r = run(where, "5<Enter><Esc>ss shared<Enter>")
    if r:
        data = read_bytes(shared)
        check(r.code == 0 and data.startswith(b"OLD\r\nOTHER\r\nCALCULOS FEITOS\r\n"),
              "save lock: the copy after the other's, got %r (exit %s)" % (data[:40], r.code))


def others_file():
    """A world-writable file of another user's in a shared sticky folder is
    not appended to: the copy goes to a new name, said aloud. Needs root."""
    if os.geteuid() != 0:
        print("SKIP another user's file: needs root")
        return
    where = new_dir("shared-folder")
    os.chmod(where, 0o1777)
    theirs = os.path.join(where, "COPIA.txt")
    with open(theirs, "wb") as f:
        f.write(b"THEIRS\r\n")
    os.chmod(theirs, 0o666)
    os.chown(theirs, 65534, 65534)
    r = run(where, "5<Enter><Esc>ss COPIA<Enter>")
    if r:
        check(read_bytes(theirs) == b"THEIRS\r\n", "another user's file: left as it was")
        check(b"Operando: 5" in read_bytes(os.path.join(where, "COPIA-2.txt")),
              "another user's file: the copy under a new name")
        check("sound DOarchOutroNome\nwords dois\n" in r.text("speech.txt"),
              "another user's file: the new name said aloud")


def main():
    if not shutil.which("tmux"):
        print("SKIPPED: tmux is missing")
        return SKIP
    # Side by side, each in a folder and tmux session of its own: most of
    # their time goes in waiting for a screen or a program's end.
    side_by_side(*(test for test in (non_regular_files, links, protected_old_log, own_name_refused,
                                     outputs, voice_failure, stale_settings, two_instances,
                                     full_disk, sync_fails, log_changed_under_it, folder_renamed,
                                     file_name_editor, save_names_and_outputs, save_lock,
                                     others_file)
                   if len(sys.argv) < 6 or test.__name__ in sys.argv[5:]))
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    run_and_exit(main, top)
