"""What the program tests share: the failures a test gathers (each printed
as it is found, so that a test goes on after one and its status counts them
all), waits that poll for an event, and a headless run of the program with
its files read back. The tests find this package through PYTHONPATH, which
the CMake function that declares them sets."""
import concurrent.futures
import os
import subprocess
import time

ROWS, COLUMNS = 25, 80
SKIP = 77  # the exit status of a test that cannot run here

failures = []
# How long a wait lasts unless it says otherwise; a test on a busy machine
# may need longer, and a wait that is met returns at once anyway.
waits = {"timeout": 10.0}


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)
    return ok


def side_by_side(*parts):
    """Runs each part (a function of no arguments) in a thread of its own and
    waits for them all; an exception in one is raised here. For parts that
    mostly wait (for a screen to settle, a server's time limit), in folders
    and sessions of their own."""
    with concurrent.futures.ThreadPoolExecutor(len(parts)) as pool:
        for done in [pool.submit(part) for part in parts]:
            done.result()


def wait_for(predicate, what=None, timeout=None, step=0.05):
    """Polls the predicate until it answers something true, and answers
    that. When it does not in time, answers its last answer, and counts a
    failure when `what` names the event waited for."""
    end = time.monotonic() + (timeout or waits["timeout"])
    while True:
        value = predicate()
        if value or time.monotonic() >= end:
            break
        time.sleep(step)
    if not value and what:
        check(False, "timed out waiting for " + what)
    return value


def wait_settled(read, done, quiet=3.0, timeout=120.0, step=0.1):
    """Polls read() until done(its answer) holds, or the answer has stayed the
    same for `quiet` seconds (what was coming has come, or was lost), or
    the timeout passes; answers the last answer. For a stream of entries
    that must all arrive, where a lost one would otherwise be waited for
    until the timeout."""
    last, since = read(), time.monotonic()
    end = since + timeout
    while not done(last) and time.monotonic() - since < quiet and time.monotonic() < end:
        time.sleep(step)
        now = read()
        if now != last:
            last, since = now, time.monotonic()
    return last


def wait_idle(*pids, quiet=0.3, timeout=None):
    """Waits until processes have used no processor time for `quiet`
    seconds: they have done everything their last input asked for and
    sleep until the next (a key typed before then would cut what the
    program still had to say). A program waiting on its display server is
    not at rest while that server works, so both are watched. Answers
    whether they came to rest in time."""
    def used():
        total = 0
        for pid in pids:
            try:
                with open("/proc/%d/stat" % pid) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                total += int(fields[11]) + int(fields[12])  # utime + stime, in ticks
            except (OSError, IndexError, ValueError):
                return None
        return total
    end = time.monotonic() + (timeout or waits["timeout"])
    last, since = used(), time.monotonic()
    while time.monotonic() < end:
        time.sleep(0.05)
        now = used()
        if now is None:
            return False
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= quiet:
            return True
    return False


def stop(process, timeout=30):
    """Ends a server the test started: SIGTERM, then SIGKILL when it has not
    ended in time (a busy server may linger on its clients). Answers
    whether it ended on SIGTERM."""
    if process.poll() is not None:
        return True
    process.terminate()
    try:
        process.wait(timeout=timeout)
        return True
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return False


def written_line(path):
    """The first line of a file once it is written whole (a shell's
    "echo $? > file" makes the file before it writes the line); None
    before."""
    try:
        with open(path) as f:
            text = f.read()
    except FileNotFoundError:
        return None
    return text.split("\n")[0] if "\n" in text else None


def read_bytes(path):
    """The file's bytes; empty when it is missing."""
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


def lines_of(text):
    """A screen's text as its 25 rows, trailing blanks cut."""
    lines = [line.rstrip() for line in text.split("\n")][:ROWS]
    return lines + [""] * (ROWS - len(lines))


class Headless:
    """A finished headless run: its exit code, standard error, directory, and
    the screen, speech and state files it wrote there."""

    def __init__(self, proc, where):
        self.code = proc.returncode
        self.stderr = proc.stderr
        self.dir = where

    def text(self, name):
        """A file of the run's directory, empty when it is missing."""
        path = os.path.join(self.dir, name)
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()

    @property
    def screen(self):
        return self.text("screen.txt")

    @property
    def rows(self):
        return lines_of(self.screen)

    @property
    def speech(self):
        return self.text("speech.txt").splitlines()

    @property
    def state(self):
        return self.text("state.txt")


def headless(quipular, keys, env, where, *args, timeout=60):
    """Runs the program headless in where (made when missing) with the keys,
    writing screen.txt, speech.txt and state.txt there; args go on its
    command line. Answers the Headless run, or None (a failure) when it did
    not end in time."""
    os.makedirs(where, exist_ok=True)
    command = [quipular, "--headless", "--keys", keys, "--screen", "screen.txt",
               "--speech", "speech.txt", "--state", "state.txt", *args]
    try:
        proc = subprocess.run(command, cwd=where, env=env, capture_output=True, text=True,
                              timeout=timeout)
    except subprocess.TimeoutExpired:
        check(False, "%s: the run did not end in %d s (keys %s)" % (where, timeout, keys))
        return None
    return Headless(proc, where)
