"""What the install and package tests share: running a Quipular as a new
user would, from a directory of its own with no VESTRA variables, and
checking that it talked and computed."""
import os
import subprocess
import tempfile

from harness import check, failures  # noqa: F401


def clean_env(home, **extra):
    """The caller's environment without the variables that point Quipular
    at its files, with a HOME of its own (no ~/.config/vestra)."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("VESTRA_") and k not in ("XDG_CONFIG_HOME", "QUIPULAR_AUDIO")}
    env.update(HOME=home, **extra)
    return env


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def talks(quipular, label, top):
    """Runs 5 Enter 3 Enter + Enter headless from a fresh directory under top;
    the greeting must come from the pack and X must be 8."""
    work = tempfile.mkdtemp(prefix="run-", dir=top)
    home = tempfile.mkdtemp(prefix="home-", dir=top)
    result = subprocess.run(
        [quipular, "--keys", "5<Enter>3<Enter>+<Enter>", "--screen", "screen.txt",
         "--speech", "speech.txt", "--state", "state.txt"],
        cwd=work, env=clean_env(home), capture_output=True, text=True, timeout=120)
    if not check(result.returncode == 3, "%s: exit code %d, stderr %r" %
                 (label, result.returncode, result.stderr[-500:])):
        return
    speech = read(os.path.join(work, "speech.txt")).split("\n")
    screen = read(os.path.join(work, "screen.txt"))
    check(speech[:1] == ["sound DOSALUDOINI"], "%s: the greeting is not played: %r" %
          (label, speech[:3]))
    check("Erro de inicialização" not in screen, "%s: start-up error:\n%s" % (label, screen))
    check("X = 8" in read(os.path.join(work, "state.txt")), "%s: 5 3 + is not 8" % label)
