#!/usr/bin/env python3
"""The two packages installed as a Debian user installs them: apt-get install
./quipular_*.deb ./quipular-data_*.deb in a clean Debian 12 root (made once
by mmdebstrap --variant=minbase from the configured mirror, then kept as a
tarball), pulling their dependencies; the installed program, with no
environment of its own, computes 5 3 + on --screen -.

Usage: apt_root_test.py PACKAGE_BUILD_DIR
Skips (exit 77) when not root or when the root cannot be made.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

from harness import check, failures


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(77)


def cache_dir():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    path = os.path.join(base, "quipular-tests")
    os.makedirs(os.path.join(path, "archives", "partial"), exist_ok=True)
    return path


def sources():
    """The mirror apt is configured with here, as mmdebstrap takes it."""
    for path in ("/etc/apt/sources.list.d/debian.sources", "/etc/apt/sources.list"):
        if os.path.isfile(path) and os.path.getsize(path) > 0:
            return path
    return "http://deb.debian.org/debian"


def clean_root(cache):
    """The tarball of a minbase Debian 12 root, made when missing."""
    tarball = os.path.join(cache, "debian12-minbase.tar")
    if os.path.exists(tarball):
        return tarball
    if shutil.which("mmdebstrap") is None:
        skip("mmdebstrap is not installed (scripts/deps installs it)")
    partial = tarball + ".part"
    made = subprocess.run(["mmdebstrap", "--variant=minbase", "--quiet", "--format=tar",
                           "bookworm", partial, sources()],
                          capture_output=True, text=True, timeout=1500)
    if made.returncode != 0:
        if os.path.exists(partial):
            os.remove(partial)
        skip("a clean Debian 12 root cannot be made here: " + made.stderr.strip()[-500:])
    os.rename(partial, tarball)
    return tarball


def in_root(root, archives, script, timeout):
    """Runs script in the root under a mount namespace of its own, with /proc
    and the kept package downloads mounted; the mounts end with it."""
    wrapper = ("mount -t proc proc '{root}/proc' && "
               "mount --bind '{archives}' '{root}/var/cache/apt/archives' && "
               "exec chroot '{root}' /bin/sh -c \"$0\"").format(root=root, archives=archives)
    return subprocess.run(["unshare", "--mount", "--fork", "/bin/sh", "-c", wrapper, script],
                          capture_output=True, text=True, timeout=timeout,
                          env={"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "LANG": "C"})


def main():
    build = os.path.abspath(sys.argv[1])
    debs = sorted(glob.glob(os.path.join(build, "quipular_*.deb")) +
                  glob.glob(os.path.join(build, "quipular-data_*.deb")))
    if not check(len(debs) == 2, "the two packages are not in %s: %s" % (build, debs)):
        return 1
    if os.geteuid() != 0:
        skip("installing into a root needs root")
    cache = cache_dir()
    tarball = clean_root(cache)
    top = tempfile.mkdtemp(prefix="quipular-apt-root-")
    try:
        root = os.path.join(top, "root")
        os.makedirs(root)
        subprocess.run(["tar", "-xf", tarball, "-C", root], check=True)
        shutil.copy("/etc/resolv.conf", os.path.join(root, "etc/resolv.conf"))
        for deb in debs:
            shutil.copy(deb, os.path.join(root, "tmp"))
        # The downloads are kept between runs: only the first one fetches.
        with open(os.path.join(root, "etc/apt/apt.conf.d/90keep"), "w") as f:
            f.write('Binary::apt::APT::Keep-Downloaded-Packages "true";\n')
        installed = in_root(root, os.path.join(cache, "archives"),
                            "apt-get update -qq && DEBIAN_FRONTEND=noninteractive "
                            "apt-get install -y -qq --no-install-recommends "
                            "./tmp/quipular_*.deb ./tmp/quipular-data_*.deb", 900)
        if not check(installed.returncode == 0, "apt-get install failed:\n%s%s" %
                     (installed.stdout[-2000:], installed.stderr[-2000:])):
            return 1
        ran = in_root(root, os.path.join(cache, "archives"),
                      "cd /tmp && env -i PATH=/usr/bin:/bin HOME=/tmp "
                      "quipular --keys '5<Enter>3<Enter>+<Enter>' --screen -", 120)
        check(ran.returncode == 3, "the installed quipular ended with %d: %s" %
              (ran.returncode, ran.stderr[-1000:]))
        check("X = 8.00" in ran.stdout, "X = 8.00 is not on the screen:\n" + ran.stdout)
        check("Erro de inicialização" not in ran.stdout, "the voice did not start:\n" +
              ran.stdout)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    return 1 if failures else 0


sys.exit(main())
