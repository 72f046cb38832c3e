"""What the tmux tests share: a tmux server on a socket of the test's own,
a pane read back as 25 rows and typed at, and the end of a run."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from harness import COLUMNS, ROWS, check, lines_of, wait_for, waits, written_line

_server = {"socket": None, "env": None}


def setup(socket, env, timeout=10.0):
    """The socket and environment every tmux command runs with, and how long
    a wait lasts unless it says otherwise."""
    _server.update(socket=socket, env=env)
    waits["timeout"] = timeout


def private_setup(prefix, pack=None, timeout=10.0, drop=(), **extra):
    """A directory of the test's own and an environment for its runs: HOME
    made inside it, the voice pack's VESTRA variables (with a pack), no
    sound device, none of the caller's tmux or of the variables in drop,
    and the extra ones. The tmux server's socket goes there too. Answers
    (directory, environment)."""
    top = tempfile.mkdtemp(prefix=prefix)
    env = dict(os.environ, HOME=os.path.join(top, "home"), QUIPULAR_AUDIO="none")
    if pack:
        env.update(VESTRA_WINDIR=os.path.join(pack, "windows"), VESTRA_ROOT=pack)
    env.update(extra)
    for name in ("TMUX",) + tuple(drop):
        env.pop(name, None)
    os.makedirs(env["HOME"])
    setup(os.path.join(top, "tmux.sock"), env, timeout)
    return top, env


def finish_run(session, steps, done, err, names, what):
    """Types the steps' keys into a session whose shell writes the program's
    exit status to done and its standard error to err; after a key that has
    a line, waits for a screen line that starts with it. The run must end
    with status 0 and one line on standard error that names `names`."""
    for key, line in steps:
        tmux("send-keys", "-t", session, key)
        if line:
            wait_for(lambda: any(row.startswith(line) for row in
                                 lines_of(tmux("capture-pane", "-p", "-t", session))), line)
    code = wait_for(lambda: written_line(done), "the end of " + what, timeout=60)
    if code:
        with open(err) as e:
            said = e.read()
        check(code == "0" and len(said.splitlines()) == 1 and names in said,
              "%s: exit %s, standard error %r" % (what, code, said))


def start_server(keep_seconds):
    """False (saying so) where tmux is missing; else starts the server with a
    session that keeps it up between runs."""
    if shutil.which("tmux") is None:
        print("tmux is not installed")
        return False
    tmux("new-session", "-d", "-s", "keeper", "sleep %d" % keep_seconds)
    return True


def tmux(*args):
    return subprocess.run(["tmux", "-u", "-S", _server["socket"], "-f", "/dev/null", *args],
                          env=_server["env"], check=True, capture_output=True, text=True).stdout


class Pane:
    """The tmux session of one run: its screen read back, and keys sent one
    at a time, each followed by a wait until the screen settles. With
    watch_cursor, the cursor has to rest too."""

    watch_cursor = False
    quiet = 0.3

    def __init__(self, name):
        self.name = name
        self.dir = None

    def start(self, top, script, args, columns=COLUMNS, rows=ROWS, extra_env=None):
        """Starts the session in a directory of its own under top: sh runs
        the script with that directory and args."""
        self.dir = os.path.join(top, self.name)
        os.makedirs(self.dir)
        path = os.path.join(self.dir, "run.sh")
        with open(path, "w") as f:
            f.write(script)
        environment = []
        for name, value in (extra_env or {}).items():
            environment += ["-e", "%s=%s" % (name, value)]
        tmux("new-session", "-d", "-s", self.name, "-x", str(columns), "-y", str(rows),
             *environment, "sh %s %s %s" % (path, self.dir, args))

    def screen(self):
        return lines_of(tmux("capture-pane", "-p", "-t", self.name))

    def text(self):
        return "\n".join(self.screen())

    def show(self, fmt):
        return tmux("display-message", "-p", "-t", self.name, fmt).strip()

    def settle(self, quiet=None, timeout=None):
        """Waits until the screen has not changed for `quiet` seconds."""
        quiet = quiet or self.quiet
        start = time.monotonic()
        last, since, end = None, start, start + (timeout or waits["timeout"])
        while time.monotonic() < end:
            now = (self.screen(), self.show("#{cursor_x},#{cursor_y}") if self.watch_cursor else None)
            if now != last:
                last, since = now, time.monotonic()
            elif time.monotonic() - since >= quiet:
                return last[0]
            time.sleep(0.05)
        check(False, self.name + ": the screen never settled")
        return last[0]

    def keys(self, *keys):
        for key in keys:
            tmux("send-keys", "-t", self.name, key)
            self.settle()
        return self.screen()


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
