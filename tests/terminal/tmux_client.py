# What the tmux tests share: a tmux server on a socket of the test's own, the
# pane read back as 25 rows, waits that poll, and the failures gathered.
import shutil
import subprocess
import sys
import time

ROWS, COLUMNS = 25, 80
failures = []
_server = {"socket": None, "env": None, "timeout": 10.0}


def setup(socket, env, timeout=10.0):
    """The socket and environment every tmux command runs with, and how long
    a wait lasts unless it says otherwise."""
    _server.update(socket=socket, env=env, timeout=timeout)


def tmux(*args):
    return subprocess.run(["tmux", "-u", "-S", _server["socket"], "-f", "/dev/null", *args],
                          env=_server["env"], check=True, capture_output=True, text=True).stdout


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)
    return ok


def lines_of(text):
    lines = [line.rstrip() for line in text.split("\n")][:ROWS]
    return lines + [""] * (ROWS - len(lines))


def wait_for(predicate, what, timeout=None):
    end = time.monotonic() + (timeout or _server["timeout"])
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.05)
    return check(False, "timed out waiting for " + what)


def run_and_exit(main, top):
    """Runs the test's main, then stops the tmux server and removes the
    test's directory whatever happened, and exits with main's status."""
    status = 1
    try:
        status = main()
    finally:
        subprocess.run(["tmux", "-S", _server["socket"], "kill-server"], capture_output=True)
        shutil.rmtree(top, ignore_errors=True)
    sys.exit(status)
