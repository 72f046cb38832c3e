#!/usr/bin/env python3
"""The log on disk after SIGKILL at random moments of a long script: each
time a byte-exact prefix of the whole run's log, ending at a line end or at
a prompt, with CR LF line ends only. The runs share one folder, so each
also replaces the log a killed run left.

Usage: kill_test.py QUIPULAR VOICE_PACK
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

KILLS = 50
LOG = "Calculos_Quipular.txt"


def script():
    """Entries, arithmetic, stack moves, an Esc answered "n", and a number
    with an exponent: every kind of log line."""
    rng = random.Random(9)
    keys = []
    for i in range(30):
        keys.append("%d<Enter>" % rng.randint(1, 99999))
        keys.append(rng.choice(["+", "-", "*", "/", "<Ctrl+R>", "<Ctrl+X>", "1.5E3"]) + "<Enter>")
        if i % 20 == 19:
            keys.append("<Esc>n")
    return "".join(keys)


def main():
    binary, pack = sys.argv[1], sys.argv[2]
    top = tempfile.mkdtemp(prefix="quipular-kill-")
    env = dict(os.environ, HOME=top, VESTRA_WINDIR=os.path.join(pack, "windows"),
               VESTRA_ROOT=pack, QUIPULAR_AUDIO="none")
    cmd = [binary, "--headless", "--keys", script()]
    failures = []
    try:
        full_dir = os.path.join(top, "full")
        os.makedirs(full_dir)
        start = time.monotonic()
        code = subprocess.run(cmd, cwd=full_dir, env=env, capture_output=True,
                              timeout=60).returncode
        length = time.monotonic() - start
        with open(os.path.join(full_dir, LOG), "rb") as f:
            full = f.read()
        if code != 3 or full.count(b"\r\n") < 150:
            print("the whole run: exit %d, %d lines" % (code, full.count(b"\r\n")))
            return 1
        if not full.count(b"\n") == full.count(b"\r\n") == full.count(b"\r"):
            failures.append("the log has line ends other than CR LF")

        rng = random.Random()
        runs = os.path.join(top, "runs")
        os.makedirs(runs)
        sizes = []
        for kill in range(KILLS):
            proc = subprocess.Popen(cmd, cwd=runs, env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0, length))
            proc.send_signal(signal.SIGKILL)
            proc.wait()
            path = os.path.join(runs, LOG)
            if not os.path.exists(path):
                sizes.append(0)
                continue  # killed between removing the old log and making the new
            with open(path, "rb") as f:
                log = f.read()
            sizes.append(len(log))
            if not full.startswith(log):
                failures.append("kill %d: the log is not a prefix of the whole run's (%d bytes)"
                                % (kill, len(log)))
            elif log and not (log.endswith(b"\r\n") or log.endswith(b"Operando: ")):
                failures.append("kill %d: the log ends inside a line: %r" % (kill, log[-30:]))
        mid = sum(1 for s in sizes if 0 < s < len(full))
        print("%d kills in a run of %.2f s; %d left a log cut short, %d bytes at most of %d"
              % (KILLS, length, mid, max(sizes), len(full)))
        if mid < KILLS // 4:
            failures.append("too few kills landed while the log was being written")
    finally:
        shutil.rmtree(top, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
