#!/usr/bin/env python3
"""The Debian packages as a user gets them, built by scripts/package in
PACKAGE_BUILD_DIR (the package.build test): dpkg-deb unpacks both into a
temporary root, and the unpacked program, run from an unrelated directory
with no VESTRA variables, talks, computes and (under Xvfb) opens its window
from the unpacked module. The program and its data are split by
architecture, hold no empty file, and pass desktop-file-validate,
appstreamcli --pedantic, man and lintian --pedantic.

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


def field(deb, name):
    return run("dpkg-deb", "-f", deb, name).stdout.strip()


def contents(deb):
    """The paths of the regular files a package holds, with their sizes."""
    listing = run("dpkg-deb", "-c", deb).stdout.splitlines()
    files = {}
    for line in listing:
        parts = line.split(None, 5)
        if line.startswith("-") and len(parts) == 6:
            files[parts[5].lstrip(".")] = int(parts[2])
    return files


def split(program, data):
    """quipular for one architecture, quipular-data for all, one version."""
    version = field(program, "Version")
    check(field(data, "Architecture") == "all", "quipular-data is not Architecture: all")
    check(field(program, "Architecture") not in ("", "all"), "quipular has no architecture")
    check(field(data, "Version") == version, "the two packages differ in version")
    check("quipular-data (= %s)" % version in field(program, "Depends"),
          "quipular does not depend on its own quipular-data: %s" % field(program, "Depends"))
    suggests = field(program, "Suggests")
    check("brltty" in suggests and "speech-dispatcher" in suggests, "Suggests: " + suggests)
    program_files, data_files = contents(program), contents(data)
    check(not any(p.startswith("/usr/share/vestra/") for p in program_files),
          "voice data in the architecture-dependent package")
    check(any(p.startswith("/usr/share/vestra/orbela/som/") for p in data_files),
          "no voice pack in quipular-data")
    check(not any(p.startswith(("/usr/bin", "/usr/lib")) for p in data_files),
          "binaries in quipular-data")
    for name, files in (("quipular", program_files), ("quipular-data", data_files)):
        empty = [p for p, size in files.items() if size == 0]
        check(not empty, "%s ships empty files: %s" % (name, empty[:5]))
    check("/usr/share/doc/quipular/guia.md" in program_files, "the guide is not installed")
    check(any(p.startswith("/usr/share/locale/pt_BR/LC_MESSAGES/quipular.mo")
              for p in program_files), "the Portuguese messages are not installed")


def validators(debs, root):
    program, data = debs
    usr_share = os.path.join(root, "usr/share")
    desktop = os.path.join(usr_share, "applications/quipular.desktop")
    result = run("desktop-file-validate", desktop)
    check(result.returncode == 0 and "error" not in result.stdout,
          "desktop-file-validate: %s" % result.stdout)
    metainfo = glob.glob(os.path.join(usr_share, "metainfo/*.metainfo.xml"))
    check(len(metainfo) == 1, "metainfo files: %s" % metainfo)
    for path in metainfo:
        result = run("appstreamcli", "validate", "--pedantic", "--no-color", path)
        check(result.returncode == 0, "appstreamcli --pedantic: %s" % result.stdout)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        check(".example" not in text, "the metadata names an address that cannot resolve")
        check('<release version="%s"' % field(program, "Version").split("-")[0] in text,
              "the metadata has no release of this version")
    check(os.path.exists(os.path.join(usr_share, "icons/hicolor/scalable/apps/quipular.svg")),
          "no scalable icon")
    result = run("man", "--warnings", "-l", os.path.join(usr_share, "man/man1/quipular.1.gz"),
                 env=dict(os.environ, MANWIDTH="80"))
    check(result.returncode == 0 and not result.stderr.strip(), "man: %s" % result.stderr)
    text = re.sub(".\b", "", result.stdout)  # no bold by overstriking
    check("VESTRA_ROOT" in text and "/etc/vestra" in text,
          "the manual page lacks the environment and the files")
    modules = glob.glob(os.path.join(root, "usr/lib/**/libquipular_sdl.so"), recursive=True)
    folder = os.path.dirname(modules[0])[len(root):] if modules else "(no module)"
    check(folder + "/" in text, "the manual page does not name the modules' folder " + folder)
    for module in ("libquipular_sdl.so", "libquipular_brlapi.so", "libquipular_speechd.so"):
        check(module in text, "the manual page does not name " + module)

    fields = field(program, "Depends")
    for dependency in ("libsdl2-2.0-0", "libsdl2-ttf-2.0-0", "libfontconfig1", "libinih1",
                       "fonts-dejavu-core"):
        check(dependency in fields, "Depends lacks %s: %s" % (dependency, fields))
    control = tempfile.mkdtemp(dir=os.path.dirname(root))
    run("dpkg-deb", "-e", program, control)
    with open(os.path.join(control, "conffiles")) as f:
        check(f.read().split() == ["/etc/vestra/VESTRA.INI"], "conffiles")

    # Every tag lintian gives, at --pedantic, is either mended or overridden
    # with a comment in packaging/*.lintian-overrides.
    result = run("lintian", "--pedantic", "--no-tag-display-limit", program, data, timeout=600)
    tags = [line for line in result.stdout.splitlines() if re.match(r"^[EWIPX]: ", line)]
    check(not tags and result.returncode == 0, "lintian --pedantic (exit code %d):\n%s %s" %
          (result.returncode, result.stdout, result.stderr))
    print("lintian --pedantic: " + (result.stdout.strip() or "(nothing)"))


def main():
    build = os.path.abspath(sys.argv[2])
    started = time.monotonic()
    debs = [glob.glob(os.path.join(build, pattern))
            for pattern in ("quipular_*.deb", "quipular-data_*.deb")]
    if not check(all(len(d) == 1 for d in debs),
                 "scripts/package did not leave one quipular and one quipular-data in %s: %s"
                 % (build, debs)):
        return 1
    debs = [d[0] for d in debs]
    top = tempfile.mkdtemp(prefix="quipular-package-")
    try:
        root = os.path.join(top, "root")
        for deb in debs:
            check(run("dpkg-deb", "-x", deb, root).returncode == 0, "dpkg-deb -x failed")
        split(*debs)
        talks(os.path.join(root, "usr/bin/quipular"), "unpacked package", top)
        window(root, top)
        validators(debs, root)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    print("%.1f s, %d failures" % (time.monotonic() - started, len(failures)))
    return 1 if failures else 0


sys.exit(main())
