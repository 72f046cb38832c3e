#!/usr/bin/env python3
"""The Debian package as a user gets it: scripts/package builds it, dpkg-deb
unpacks it into a temporary root, and the unpacked program, run from an
unrelated directory with no VESTRA variables, talks, computes and (under
Xvfb) opens its window from the unpacked module. What the package holds
passes desktop-file-validate, appstreamcli, man and lintian.

Usage: package_test.py SOURCE_DIR PACKAGE_BUILD_DIR
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from common import check, clean_env, failures, talks
from harness.xvfb import start_xvfb


def run(*command, **kw):
    return subprocess.run(command, capture_output=True, text=True, **kw)


def window(root, top):
    """--window opens the window, with the module loaded from root."""
    if shutil.which("Xvfb") is None or shutil.which("xdotool") is None:
        print("window part skipped: Xvfb or xdotool is missing")
        return
    xvfb, display = start_xvfb()
    work = tempfile.mkdtemp(prefix="window-", dir=top)
    env = clean_env(tempfile.mkdtemp(prefix="home-", dir=top), DISPLAY=display,
                    QUIPULAR_AUDIO="none")
    env.pop("WAYLAND_DISPLAY", None)
    program = subprocess.Popen([os.path.join(root, "usr/bin/quipular"), "--window"], cwd=work,
                               env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                               text=True)
    try:
        found = ""
        end = time.monotonic() + 20
        while not found and time.monotonic() < end and program.poll() is None:
            found = run("xdotool", "search", "--name", "^QUIPULAR$", env=env).stdout.strip()
            time.sleep(0.2)
        if check(found, "no window titled QUIPULAR"):
            with open("/proc/%d/maps" % program.pid) as f:
                modules = {line.split()[-1] for line in f if "libquipular_sdl" in line}
            expected = os.path.join(root, "usr/lib")
            check(modules and all(m.startswith(expected) for m in modules),
                  "the window module is not the unpacked one: %s" % modules)
            wid = found.split()[0]
            run("xdotool", "windowfocus", "--sync", wid, env=env)
            run("xdotool", "key", "--delay", "100", "Escape", "s", "n", env=env)
        try:
            code = program.wait(20)
            stderr = program.stderr.read()
            check(code == 0, "the window run ended with %d: %s" % (code, stderr))
            check("running in the terminal" not in stderr, "the window did not open: " + stderr)
        except subprocess.TimeoutExpired:
            check(False, "the window run did not end after Esc s n")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        xvfb.terminate()
        xvfb.wait()


def validators(deb, root):
    usr_share = os.path.join(root, "usr/share")
    desktop = os.path.join(usr_share, "applications/quipular.desktop")
    result = run("desktop-file-validate", desktop)
    check(result.returncode == 0 and "error" not in result.stdout,
          "desktop-file-validate: %s" % result.stdout)
    metainfo = glob.glob(os.path.join(usr_share, "metainfo/*.metainfo.xml"))
    check(len(metainfo) == 1, "metainfo files: %s" % metainfo)
    for path in metainfo:
        result = run("appstreamcli", "validate", "--no-net", path)
        check(result.returncode == 0, "appstreamcli: %s" % result.stdout)
    check(os.path.exists(os.path.join(usr_share, "icons/hicolor/scalable/apps/quipular.svg")),
          "no scalable icon")
    result = run("man", "--warnings", "-l", os.path.join(usr_share, "man/man1/quipular.1.gz"),
                 env=dict(os.environ, MANWIDTH="80"))
    check(result.returncode == 0 and not result.stderr.strip(), "man: %s" % result.stderr)
    text = re.sub(".\b", "", result.stdout)  # no bold by overstriking
    check("VESTRA_ROOT" in text and "/etc/vestra" in text,
          "the manual page lacks the environment and the files")

    fields = run("dpkg-deb", "-f", deb, "Depends").stdout
    for dependency in ("libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libfontconfig1", "libinih1",
                       "fonts-dejavu-core"):
        check(dependency in fields, "Depends lacks %s: %s" % (dependency, fields))
    control = tempfile.mkdtemp(dir=os.path.dirname(root))
    run("dpkg-deb", "-e", deb, control)
    with open(os.path.join(control, "conffiles")) as f:
        check(f.read().split() == ["/etc/vestra/VESTRA.INI"], "conffiles")

    result = run("lintian", "--no-tag-display-limit", deb, timeout=600)
    errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
    check(not errors and result.returncode == 0, "lintian (exit code %d): %s %s" %
          (result.returncode, result.stdout, result.stderr))
    print("lintian:\n" + (result.stdout.strip() or "(nothing)"))


def main():
    source, build = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    started = time.monotonic()
    result = run(os.path.join(source, "scripts/package"), build, timeout=1500)
    if not check(result.returncode == 0, "scripts/package failed:\n%s%s" %
                 (result.stdout[-3000:], result.stderr[-3000:])):
        return 1
    deb = result.stdout.strip().split("\n")[-1]
    if not check(deb.endswith(".deb") and os.path.isfile(deb), "last line %r" % deb):
        return 1
    print("%s built in %.0f s" % (deb, time.monotonic() - started))
    top = tempfile.mkdtemp(prefix="quipular-package-")
    try:
        root = os.path.join(top, "root")
        check(run("dpkg-deb", "-x", deb, root).returncode == 0, "dpkg-deb -x failed")
        talks(os.path.join(root, "usr/bin/quipular"), "unpacked package", top)
        window(root, top)
        validators(deb, root)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    print("%.1f s, %d failures" % (time.monotonic() - started, len(failures)))
    return 1 if failures else 0


sys.exit(main())
