#!/usr/bin/env python3
"""Quipular finds its own files wherever it is: run from its build tree, and
installed by cmake --install under a temporary prefix (then moved), from an
unrelated directory with no VESTRA variables, it talks and computes, and
finds its Portuguese messages. The install writes nothing outside its
prefix.

Usage: install_test.py BUILD_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

from common import check, failures, talks


def listing(*roots):
    """Every path under roots with its kind, size and modification time."""
    entries = set()
    for root in roots:
        for dirpath, dirnames, filenames in os.walk(root):
            for name in dirnames + filenames:
                path = os.path.join(dirpath, name)
                try:
                    st = os.lstat(path)
                except OSError:
                    continue
                entries.add((path, st.st_mode, st.st_size, st.st_mtime_ns))
    return entries


def portuguese_help(quipular, label, top):
    """--help under a Portuguese locale (made with localedef when the system
    has none) comes from the catalogue this installation holds."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k != "LANGUAGE"}
    env["LANG"] = "pt_BR.UTF-8"
    locales = os.path.join(top, "locales")
    if not os.path.isdir(locales):
        os.makedirs(locales)
        subprocess.run(["localedef", "-i", "pt_BR", "-f", "UTF-8",
                        os.path.join(locales, "pt_BR.UTF-8")], capture_output=True)
    env["LOCPATH"] = locales
    result = subprocess.run([quipular, "--help"], capture_output=True, text=True, env=env,
                            timeout=60)
    check(result.stdout.startswith("Uso:"), "%s: --help is not in Portuguese:\n%s" %
          (label, result.stdout[:200]))


def main():
    build = os.path.abspath(sys.argv[1])
    quipular = os.path.join(build, "quipular")
    top = tempfile.mkdtemp(prefix="quipular-install-")
    try:
        talks(quipular, "build tree", top)
        portuguese_help(quipular, "build tree", top)

        prefix = os.path.join(top, "prefix")
        before = listing("/usr/local", "/etc")
        result = subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                                capture_output=True, text=True, timeout=300)
        after = listing("/usr/local", "/etc")
        if not check(result.returncode == 0, "cmake --install failed: %s" % result.stderr):
            return 1
        outside = sorted(p for p, *_ in after ^ before)
        check(not outside, "the install changed things outside its prefix: %s" % outside[:10])
        for part in ("bin/quipular", "etc/vestra/VESTRA.INI", "share/vestra/orbela",
                     "share/man/man1/quipular.1.gz", "share/applications/quipular.desktop",
                     "share/locale/pt_BR/LC_MESSAGES/quipular.mo", "share/doc/quipular/guia.md"):
            check(os.path.exists(os.path.join(prefix, part)), "not installed: " + part)
        talks(os.path.join(prefix, "bin", "quipular"), "installed", top)

        # The same install moved elsewhere still finds itself.
        moved = os.path.join(top, "moved", "elsewhere")
        os.makedirs(os.path.dirname(moved))
        os.rename(prefix, moved)
        talks(os.path.join(moved, "bin", "quipular"), "moved install", top)
        portuguese_help(os.path.join(moved, "bin", "quipular"), "moved install", top)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    return 1 if failures else 0


sys.exit(main())
